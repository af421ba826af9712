#include "history/HistoryView.h"

#include <cmath>

#include <QButtonGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QPointer>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "base/CText.h"
#include "base/MessageBox.h"
#include "base/QtText.h"
#include "base/WaitCursor.h"
#include "res/Resource.h"
#include "history/HistoryDoc.h"

namespace {

bool EndsWithIgnoringCase(const std::string& text, const char* ending)
{
    const std::string_view end(ending);
    return text.size() >= end.size() && EqualsIgnoringAsciiCase(std::string_view(text).substr(text.size() - end.size()), end);
}

}  // namespace

// The chart itself: paints the view's model with the system palette.
class CHistoryView::ChartWidget : public QWidget {
public:
    explicit ChartWidget(const CHistoryView& view) : m_view(view)
    {
        setObjectName(QStringLiteral("historyChart"));
        setMinimumSize(320, 200);
        setMouseTracking(true);
    }
    // The chart time under the mouse, NaN when it is outside.
    double CrossTime() const { return m_crossTime; }
    void SetCrossAt(int x)
    {
        m_crossTime = m_place.TimeAt(x);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const double cross = m_crossTime;
        m_place = PaintHistoryChart(painter, rect(), m_view.Chart(), palette(), std::isnan(cross) ? nullptr : &cross);
    }
    void mouseMoveEvent(QMouseEvent* event) override { SetCrossAt(event->position().toPoint().x()); }
    void leaveEvent(QEvent*) override
    {
        m_crossTime = std::nan("");
        update();
    }

private:
    const CHistoryView& m_view;
    HistoryChartPlace m_place;
    double m_crossTime = std::nan("");
};

CHistoryView::CHistoryView()
    : m_pChart(new ChartWidget(*this)), m_pEntry(new QLineEdit), m_pSource(new QLabel), m_pRanges(new QButtonGroup(this))
{
    auto* ranges = new QHBoxLayout;
    for (HistoryRange range : kHistoryRanges) {
        auto* button = new QToolButton;
        button->setText(QString::fromLatin1(HistoryRangeName(range)));
        button->setObjectName(QStringLiteral("historyRange") + button->text());
        button->setCheckable(true);
        m_pRanges->addButton(button, static_cast<int>(range));
        ranges->addWidget(button);
    }
    m_pRanges->setExclusive(true);
    m_pCandles = new QToolButton;
    m_pCandles->setText(QStringLiteral("Candles"));
    m_pCandles->setObjectName(QStringLiteral("historyCandles"));
    m_pCandles->setCheckable(true);
    m_pLog = new QToolButton;
    m_pLog->setText(QStringLiteral("Log"));
    m_pLog->setObjectName(QStringLiteral("historyLog"));
    m_pLog->setCheckable(true);
    ranges->addSpacing(8);
    ranges->addWidget(m_pCandles);
    ranges->addWidget(m_pLog);
    ranges->addStretch();
    m_pEntry->setObjectName(QStringLiteral("historyEntry"));
    m_pEntry->setPlaceholderText(QStringLiteral("Add: SYMBOL or COUNTRY:SYMBOL"));
    auto* add = new QPushButton(QStringLiteral("&Add"));
    auto* remove = new QPushButton(QStringLiteral("&Remove Last"));
    ranges->addWidget(m_pEntry);
    ranges->addWidget(add);
    ranges->addWidget(remove);
    m_pSource->setObjectName(QStringLiteral("historySource"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(ranges);
    layout->addWidget(m_pChart, 1);
    layout->addWidget(m_pSource);

    connect(m_pRanges, &QButtonGroup::idClicked, this, [this](int id) {
        if (CHistoryDoc* document = GetHistory())
            document->SetRange(static_cast<HistoryRange>(id));
    });
    connect(m_pCandles, &QToolButton::toggled, this, [this](bool on) {
        m_model.candles = on;
        m_pChart->update();
    });
    connect(m_pLog, &QToolButton::toggled, this, [this](bool on) {
        m_model.logScale = on;
        m_pChart->update();
    });
    connect(m_pEntry, &QLineEdit::returnPressed, this, [this] { AddEntryText(); });
    connect(add, &QPushButton::clicked, this, [this] { AddEntryText(); });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (CHistoryDoc* document = GetHistory(); document && document->Lines().size() > 1)
            document->RemoveSecurity(static_cast<int>(document->Lines().size()) - 1);
    });
}

CHistoryView::~CHistoryView() = default;

CHistoryDoc* CHistoryView::GetHistory() const
{
    return dynamic_cast<CHistoryDoc*>(GetDocument());
}

bool CHistoryView::AddEntryText()
{
    CHistoryDoc* document = GetHistory();
    SecurityRecord security;
    if (!document || !ParseHistoryEntry(FromQString(m_pEntry->text()), security))
        return false;
    if (!document->AddSecurity(security))
        return false;
    m_pEntry->clear();
    return true;
}

void CHistoryView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0);
}

void CHistoryView::OnUpdate(CView*, long)
{
    CHistoryDoc* document = GetHistory();
    if (!document)
        return;
    if (QAbstractButton* button = m_pRanges->button(static_cast<int>(document->Range())))
        button->setChecked(true);
    std::vector<std::string> labels;
    std::vector<HistorySeries> series;
    std::string sources, errors;
    for (const CHistoryDoc::Line& line : document->Lines()) {
        labels.push_back(line.security.country == "US" ? line.security.symbol
                                                       : line.security.country + ":" + line.security.symbol);
        series.push_back(line.result.series);
        if (!line.result.sourceId.empty() && sources.find(line.result.sourceId) == std::string::npos)
            sources += (sources.empty() ? "" : ", ") + line.result.sourceId;
        if (!line.result.ok() && !line.result.error.empty())
            errors += "  " + labels.back() + ": " + line.result.error;
    }
    m_model = MakeHistoryChartModel(labels, series);
    m_model.candles = m_pCandles->isChecked();
    m_model.logScale = m_pLog->isChecked();
    m_labels = labels;
    m_series = series;
    m_pSource->setText(QString::fromStdString((sources.empty() ? std::string() : "Source: " + sources) + errors));
    m_pChart->update();
}

std::string CHistoryView::Readout() const
{
    const double time = m_pChart->CrossTime();
    return std::isnan(time) ? std::string() : HistoryReadout(m_model, time);
}

void CHistoryView::MoveCrosshair(int x)
{
    m_pChart->SetCrossAt(x);
}

bool CHistoryView::HandlesCommand(int id) const
{
    return (id == ID_TOOLS_EXPORT_CHART || id == ID_TOOLS_EXPORT_HISTORY) && !m_series.empty();
}

void CHistoryView::OnCommand(int id)
{
    const QPointer<CHistoryView> alive(this);
    const std::string name = m_labels.empty() ? std::string("history") : m_labels.front();
    if (id == ID_TOOLS_EXPORT_CHART) {
        QString filter;
        const QString chosen = QFileDialog::getSaveFileName(window(), QStringLiteral("Export Chart"),
                                                            ToQString(name + ".png"),
                                                            QStringLiteral("PNG image (*.png);;SVG drawing (*.svg)"),
                                                            &filter);
        if (!alive || chosen.isEmpty())
            return;
        std::string path = FromQString(chosen);
        if (!EndsWithIgnoringCase(path, ".png") && !EndsWithIgnoringCase(path, ".svg"))
            path += filter.contains(QStringLiteral("svg")) ? ".svg" : ".png";
        ExportChart(path, std::max(320, m_pChart->width()), std::max(200, m_pChart->height()));
    } else if (id == ID_TOOLS_EXPORT_HISTORY) {
        const QString chosen = QFileDialog::getSaveFileName(window(), QStringLiteral("Export History"),
                                                            ToQString(name + ".csv"), QStringLiteral("CSV (*.csv)"));
        if (!alive || chosen.isEmpty())
            return;
        std::string path = FromQString(chosen);
        if (!EndsWithIgnoringCase(path, ".csv"))
            path += ".csv";
        ExportHistory(path);
    }
}

bool CHistoryView::ExportChart(const std::string& path, int width, int height)
{
    CWaitCursor wait;
    bool ok = false;
    if (width >= 1 && height >= 1 && width <= 16384 && height <= 16384) {
        if (EndsWithIgnoringCase(path, ".svg")) {
            QSvgGenerator generator;
            generator.setFileName(ToQString(path));
            generator.setSize(QSize(width, height));
            generator.setViewBox(QRect(0, 0, width, height));
            generator.setTitle(ToQString("History - " + (m_labels.empty() ? std::string() : m_labels.front())));
            QPainter painter;
            ok = painter.begin(&generator);
            if (ok) {
                PaintHistoryChart(painter, QRect(0, 0, width, height), m_model, palette());
                ok = painter.end();
            }
            ok = ok && QFileInfo(ToQString(path)).size() > 0;
        } else {
            QImage image(width, height, QImage::Format_ARGB32);
            if (!image.isNull()) {
                QPainter painter(&image);
                PaintHistoryChart(painter, image.rect(), m_model, palette());
                painter.end();
                ok = image.save(ToQString(path), "PNG");
            }
        }
    }
    if (!ok)
        ShowMessage(FormatC("Can not write the chart to \"%s\" (%d x %d).", path.c_str(), width, height));
    return ok;
}

bool CHistoryView::ExportHistory(const std::string& path)
{
    CWaitCursor wait;
    QSaveFile file(ToQString(path));
    const std::string csv = HistoryExportCsv(m_labels, m_series);
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.write(csv.data(), static_cast<qint64>(csv.size())) == static_cast<qint64>(csv.size()) &&
                    file.commit();
    if (!ok)
        ShowMessage(FormatC("Can not write the history to \"%s\".", path.c_str()));
    return ok;
}

void CHistoryView::OnDraw(QPainter& painter)
{
    PaintHistoryChart(painter, painter.viewport(), m_model, palette());
}

#include "history/HistoryView.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "framework/QtText.h"
#include "history/HistoryDoc.h"

// The chart itself: paints the view's model with the system palette.
class CHistoryView::ChartWidget : public QWidget {
public:
    explicit ChartWidget(const CHistoryView& view) : m_view(view)
    {
        setObjectName(QStringLiteral("historyChart"));
        setMinimumSize(320, 200);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        PaintHistoryChart(painter, rect(), m_view.Chart(), palette());
    }

private:
    const CHistoryView& m_view;
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
    m_pSource->setText(QString::fromStdString((sources.empty() ? std::string() : "Source: " + sources) + errors));
    m_pChart->update();
}

void CHistoryView::OnDraw(QPainter& painter)
{
    PaintHistoryChart(painter, painter.viewport(), m_model, palette());
}

#include "window/Dia_Parameters.h"

#include <iterator>
#include <string>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "chart/Graph.h"
#include "base/CText.h"
#include "framework/DialogUnits.h"
#include "quote/SecurityRecord.h"

namespace {

QString ControlName(int id)
{
    return QStringLiteral("ctl%1").arg(id);
}

QString FromBytes(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string ToBytes(const QString& text)
{
    return text.toStdString();
}

bool IsSet(const QCheckBox* box)
{
    return box->checkState() != Qt::Unchecked;
}

}  // namespace

CDia_Parameters::CDia_Parameters(CGraph* graph, SecurityRecord* security, QWidget* parent)
    : QDialog(parent)
    , m_pGraph(graph)
    , m_pSecurity(security)
{
    setWindowTitle(QStringLiteral("Properties"));
    const DialogUnits units(font());

    auto makeCheck = [&](int id, const char* text, int left, int top, int width, int height) {
        auto* box = new QCheckBox(QString::fromLatin1(text), this);
        box->setObjectName(ControlName(id));
        units.place(box, left, top, width, height);
        return box;
    };
    auto makeEdit = [&](int id, int left, int top, int width, int height) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(ControlName(id));
        edit->setAlignment(Qt::AlignCenter);
        units.place(edit, left, top, width, height);
        return edit;
    };
    // Labels span the height of the control they name, centred on it.
    auto makeLabel = [&](const char* text, Qt::Alignment alignment, int left, int top, int width, int height) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        label->setAlignment(alignment | Qt::AlignVCenter);
        units.place(label, left, top, width, height);
        return label;
    };
    auto makeGroup = [&](const char* title, const char* name, int left, int top, int width, int height) {
        auto* group = new QGroupBox(QString::fromLatin1(title), this);
        group->setObjectName(QString::fromLatin1(name));
        units.place(group, left, top, width, height);
        group->lower();  // a frame behind its controls, as in the resource
        return group;
    };

    m_pOK = new QPushButton(QStringLiteral("OK"), this);
    m_pOK->setObjectName(ControlName(1));
    m_pOK->setDefault(true);
    units.place(m_pOK, 250, 145, 50, 14);

    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pCancel->setObjectName(ControlName(2));
    units.place(m_pCancel, 312, 145, 50, 14);

    makeGroup("Y Axe", "groupYAxe", 7, 7, 113, 95);
    m_pAutoscaleY = makeCheck(507, "Autoscale", 30, 23, 67, 10);
    m_pNetY = makeCheck(508, "Show net", 30, 41, 67, 10);
    QLabel* yMinLabel = makeLabel("Y min:", Qt::AlignRight, 21, 60, 33, 14);
    m_pYMin = makeEdit(509, 63, 60, 40, 14);
    m_pYMin->setEnabled(false);
    QLabel* yDeltaLabel = makeLabel("Y delta:", Qt::AlignRight, 21, 80, 33, 14);
    m_pYDelta = makeEdit(510, 63, 80, 40, 14);
    m_pYDelta->setEnabled(false);
    yMinLabel->setBuddy(m_pYMin);
    yDeltaLabel->setBuddy(m_pYDelta);

    makeGroup("X Axe", "groupXAxe", 127, 7, 113, 95);
    m_pAutoscaleX = makeCheck(511, "Autoscale", 152, 23, 67, 10);
    m_pAutoscaleX->setVisible(false);
    m_pNetX = makeCheck(512, "Show net", 152, 41, 67, 10);
    QLabel* xMinLabel = makeLabel("X min:", Qt::AlignRight, 142, 60, 33, 14);
    xMinLabel->setVisible(false);
    m_pXMin = makeEdit(513, 183, 60, 40, 14);
    m_pXMin->setVisible(false);
    QLabel* xDeltaLabel = makeLabel("X delta:", Qt::AlignRight, 142, 80, 33, 14);
    xDeltaLabel->setVisible(false);
    m_pXDelta = makeEdit(514, 183, 80, 40, 14);
    m_pXDelta->setVisible(false);

    makeGroup("Graph", "groupGraph", 249, 7, 113, 94);
    m_pShowMarks = makeCheck(517, "Show marks", 274, 23, 67, 10);
    m_pShowLegend = makeCheck(518, "Show legend", 274, 41, 67, 10);
    QLabel* lineWidthLabel = makeLabel("Line width:", Qt::AlignRight, 261, 60, 58, 14);
    m_pLineWidth = makeEdit(516, 325, 60, 18, 14);
    lineWidthLabel->setBuddy(m_pLineWidth);

    makeGroup("Ticker", "groupTicker", 7, 105, 355, 32);
    QLabel* refreshLabel = makeLabel("Refresh every:", Qt::AlignRight, 16, 117, 51, 14);
    m_pRefresh = new QComboBox(this);
    m_pRefresh->setObjectName(ControlName(521));
    m_pRefresh->setEditable(true);
    // Typed periods are taken as they are, never added to the list.
    m_pRefresh->setInsertPolicy(QComboBox::NoInsert);
    m_pRefresh->addItems({QStringLiteral("1"), QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("15"),
                          QStringLiteral("30"), QStringLiteral("60"), QStringLiteral("120")});
    units.place(m_pRefresh, 80, 117, 32, 14);
    refreshLabel->setBuddy(m_pRefresh);
    makeLabel("mins", Qt::AlignLeft, 116, 117, 27, 14);
    m_pEasternTime = makeCheck(520, "Time USA ET", 159, 119, 58, 10);
    m_pWriteToFile = makeCheck(519, "Write quote data to file", 256, 119, 89, 10);

    // The resource's tab order.
    QWidget* const tabOrder[] = {m_pOK,       m_pCancel,     m_pAutoscaleY, m_pNetY,       m_pYMin,
                                 m_pYDelta,   m_pAutoscaleX, m_pNetX,       m_pXMin,       m_pXDelta,
                                 m_pShowMarks, m_pShowLegend, m_pLineWidth,  m_pWriteToFile, m_pEasternTime,
                                 m_pRefresh};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    setFixedSize(units.size(369, 166));

    connect(m_pOK, &QPushButton::clicked, this, &CDia_Parameters::OnOK);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pAutoscaleY, &QCheckBox::clicked, this, &CDia_Parameters::OnAutoscaleY);
}

void CDia_Parameters::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        OnInitDialog();
    QDialog::showEvent(event);
}

void CDia_Parameters::OnInitDialog()
{
    if (m_pGraph) {
        m_pShowMarks->setChecked(m_pGraph->m_bShowMarks);
        m_pShowLegend->setChecked(m_pGraph->m_bShowLegend);
        m_pLineWidth->setText(FromBytes(FormatC("%d", m_pGraph->m_nLineWidth)));
        m_pNetX->setChecked(m_pGraph->m_bNetX);
        m_pXMin->setText(FromBytes(FormatC("%.2f", m_pGraph->m_dXMin)));
        m_pXDelta->setText(FromBytes(FormatC("%.2f", m_pGraph->m_dXDelta)));
        m_pAutoscaleY->setChecked(m_pGraph->m_bAutoscaleY);
        m_pNetY->setChecked(m_pGraph->m_bNetY);
        m_pYMin->setText(FromBytes(FormatC("%.2f", m_pGraph->m_dYMin)));
        m_pYDelta->setText(FromBytes(FormatC("%.2f", m_pGraph->m_dYDelta)));
        OnAutoscaleY();
    }
    if (m_pSecurity) {
        m_pWriteToFile->setChecked(m_pSecurity->writeToFile);
        m_pEasternTime->setChecked(m_pSecurity->easternTime);
        SetRefreshText(FromBytes(FormatC("%d", m_pSecurity->refreshMinutes)));
    }
    m_pOK->setFocus();
}

void CDia_Parameters::SetRefreshText(const QString& text)
{
    // Select the matching list entry, so the open list shows where it is.
    const int index = m_pRefresh->findText(text);
    if (index >= 0)
        m_pRefresh->setCurrentIndex(index);
    m_pRefresh->setEditText(text);
}

void CDia_Parameters::OnAutoscaleY()
{
    if (IsSet(m_pAutoscaleY)) {
        m_pYMin->setEnabled(false);
        m_pYDelta->setEnabled(false);
    } else if (m_pGraph) {
        // Manual scaling starts from the scale the last draw fitted.
        m_pYMin->setText(FromBytes(FormatC("%.2f", m_pGraph->m_dYMin)));
        m_pYDelta->setText(FromBytes(FormatC("%.2f", m_pGraph->m_dYDelta)));
        m_pYMin->setEnabled(true);
        m_pYDelta->setEnabled(true);
    }
}

void CDia_Parameters::OnOK()
{
    if (m_pGraph) {
        m_pGraph->m_bShowMarks = IsSet(m_pShowMarks);
        m_pGraph->m_bShowLegend = IsSet(m_pShowLegend);
        m_pGraph->m_nLineWidth = CAtoi(ToBytes(m_pLineWidth->text()));
        m_pGraph->m_bNetX = IsSet(m_pNetX);
        m_pGraph->m_dXMin = CAtof(ToBytes(m_pXMin->text()));
        m_pGraph->m_dXDelta = CAtof(ToBytes(m_pXDelta->text()));
        m_pGraph->m_bAutoscaleY = IsSet(m_pAutoscaleY);
        m_pGraph->m_bNetY = IsSet(m_pNetY);
        m_pGraph->m_dYMin = CAtof(ToBytes(m_pYMin->text()));
        m_pGraph->m_dYDelta = CAtof(ToBytes(m_pYDelta->text()));
    }
    if (m_pSecurity) {
        m_pSecurity->writeToFile = IsSet(m_pWriteToFile);
        m_pSecurity->easternTime = IsSet(m_pEasternTime);
        const int minutes = CAtoi(ToBytes(m_pRefresh->currentText()));
        m_pSecurity->refreshMinutes = minutes < 1 ? 1 : minutes;
    }
    accept();
}

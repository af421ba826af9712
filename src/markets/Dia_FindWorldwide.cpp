#include "markets/Dia_FindWorldwide.h"

#include <algorithm>
#include <string>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "framework/DialogUnits.h"
#include "base/Globals.h"
#include "base/MessageBox.h"
#include "marketdata/CountryTable.h"

namespace {
const char* const kPreselectedCountry = "United States";
}

CDia_FindWorldwide::CDia_FindWorldwide(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Find Quote Worldwide"));
    const DialogUnits units(font());

    // Children are created in the resource's order, which is also the tab order.
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("groupSymbolCountry"));
    units.place(frame, 7, 7, 172, 55);

    auto* symbolLabel = new QLabel(QStringLiteral("Quote Symbol:"), this);
    units.place(symbolLabel, 17, 23, 69, 8);

    m_pSymbol = new QLineEdit(this);
    m_pSymbol->setObjectName(QStringLiteral("ctl1000"));
    m_pSymbol->setAlignment(Qt::AlignCenter);
    units.place(m_pSymbol, 99, 19, 70, 12);
    symbolLabel->setBuddy(m_pSymbol);

    auto* countryLabel = new QLabel(QStringLiteral("Country:"), this);
    units.place(countryLabel, 17, 43, 69, 8);

    m_pCountry = new QComboBox(this);
    m_pCountry->setObjectName(QStringLiteral("ctl1001"));
    m_pCountry->setEditable(false);
    for (const std::string& name : SortedCountryNames())
        m_pCountry->addItem(QString::fromStdString(name));
    m_pCountry->setMaxVisibleItems(12);
    units.place(m_pCountry, 99, 39, 70, 12);
    countryLabel->setBuddy(m_pCountry);

    m_pOK = new QPushButton(QStringLiteral("OK"), this);
    m_pOK->setObjectName(QStringLiteral("ctl1"));
    m_pOK->setDefault(true);
    units.place(m_pOK, 68, 69, 50, 14);

    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_pCancel->setObjectName(QStringLiteral("ctl2"));
    units.place(m_pCancel, 129, 69, 50, 14);

    // Left of OK, as wide as its text needs.
    m_pWatchlist = new QPushButton(QStringLiteral("Add to &Watchlist"), this);
    m_pWatchlist->setObjectName(QStringLiteral("ctlWatchlist"));
    m_pWatchlist->setAutoDefault(false);
    units.place(m_pWatchlist, 7, 69, 56, 14);
    {
        QRect placed = m_pWatchlist->geometry();
        const int width = std::max(placed.width(), m_pWatchlist->sizeHint().width());
        placed.setLeft(std::max(2, m_pOK->geometry().left() - 6 - width));
        placed.setWidth(width);
        m_pWatchlist->setGeometry(placed);
    }

    setTabOrder(m_pSymbol, m_pCountry);
    setTabOrder(m_pCountry, m_pOK);
    setTabOrder(m_pOK, m_pCancel);
    setTabOrder(m_pCancel, m_pWatchlist);
    setFixedSize(units.size(186, 90));

    connect(m_pOK, &QPushButton::clicked, this, &CDia_FindWorldwide::OnOK);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pWatchlist, &QPushButton::clicked, this, &CDia_FindWorldwide::OnAddToWatchlist);

    OnInitDialog();
}

void CDia_FindWorldwide::OnInitDialog()
{
    m_bAddToWatchlist = false;
    m_pCountry->setCurrentIndex(m_pCountry->findText(QString::fromLatin1(kPreselectedCountry)));
    m_pSymbol->setFocus();
}

void CDia_FindWorldwide::showEvent(QShowEvent* event)
{
    // Whatever was chosen in an earlier run, the dialog opens on the default.
    if (!event->spontaneous())
        OnInitDialog();
    QDialog::showEvent(event);
}

void CDia_FindWorldwide::OnAddToWatchlist()
{
    if (!ValidateEntry())
        return;
    m_bAddToWatchlist = true;
    accept();
}

bool CDia_FindWorldwide::ValidateEntry()
{
    const std::string symbol = m_pSymbol->text().toStdString();
    if (symbol.empty()) {
        ShowMessage("Please enter a quote Symbol.");
        m_pSymbol->setFocus();
        return false;
    }

    const std::string name = m_pCountry->currentText().toStdString();
    g_strFindText.clear();
    const std::optional<std::string> code = CountryCodeForName(name);
    if (!code) {
        ShowMessage("Unknown Country: " + name);
        return false;
    }

    g_strFindText = BuildWorldwideFindText(*code, symbol);
    return true;
}

void CDia_FindWorldwide::OnOK()
{
    if (ValidateEntry())
        accept();
}

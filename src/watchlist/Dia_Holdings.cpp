#include "watchlist/Dia_Holdings.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "base/CText.h"
#include "base/QtText.h"

namespace {
enum { kQuantity, kPrice, kDate, kColumns };

std::string CellOf(const QTableWidget& table, int row, int column)
{
    const QTableWidgetItem* item = table.item(row, column);
    return item ? TrimWhitespace(FromQString(item->text())) : std::string();
}
}  // namespace

CDia_Holdings::CDia_Holdings(const std::string& symbol, const std::string& currency, const std::vector<Lot>& lots,
                             QWidget* parent)
    : QDialog(parent), m_pTable(new QTableWidget(0, kColumns, this)), m_pError(new QLabel(this)), m_lots(lots)
{
    setWindowTitle(ToQString("Holdings of " + symbol));
    m_pTable->setObjectName(QStringLiteral("holdingsTable"));
    m_pTable->setHorizontalHeaderLabels(
        {QStringLiteral("Quantity"), ToQString("Price paid" + (currency.empty() ? "" : " (" + currency + ")")),
         QStringLiteral("Date (YYYY-MM-DD)")});
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->verticalHeader()->hide();
    for (const Lot& lot : lots) {
        const int row = m_pTable->rowCount();
        m_pTable->insertRow(row);
        m_pTable->setItem(row, kQuantity, new QTableWidgetItem(ToQString(FormatLotNumber(lot.quantity))));
        m_pTable->setItem(row, kPrice, new QTableWidgetItem(ToQString(FormatLotNumber(lot.price))));
        m_pTable->setItem(row, kDate, new QTableWidgetItem(ToQString(lot.date)));
    }
    m_pError->setObjectName(QStringLiteral("holdingsError"));
    m_pError->setStyleSheet(QStringLiteral("color: #c00000"));
    m_pError->setWordWrap(true);

    auto* add = new QPushButton(QStringLiteral("&Add Lot"), this);
    add->setObjectName(QStringLiteral("holdingsAdd"));
    auto* remove = new QPushButton(QStringLiteral("&Remove Lot"), this);
    remove->setObjectName(QStringLiteral("holdingsRemove"));
    connect(add, &QPushButton::clicked, this, [this] {
        m_pTable->insertRow(m_pTable->rowCount());
        m_pTable->setCurrentCell(m_pTable->rowCount() - 1, kQuantity);
        m_pTable->editItem(m_pTable->item(m_pTable->rowCount() - 1, kQuantity));
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (m_pTable->currentRow() >= 0)
            m_pTable->removeRow(m_pTable->currentRow());
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDia_Holdings::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDia_Holdings::reject);

    auto* lotButtons = new QHBoxLayout;
    lotButtons->addWidget(add);
    lotButtons->addWidget(remove);
    lotButtons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTable, 1);
    layout->addLayout(lotButtons);
    layout->addWidget(m_pError);
    layout->addWidget(buttons);
    resize(460, 280);
}

bool CDia_Holdings::ReadLots()
{
    std::vector<Lot> lots;
    for (int row = 0; row < m_pTable->rowCount(); ++row) {
        const std::string quantity = CellOf(*m_pTable, row, kQuantity);
        const std::string price = CellOf(*m_pTable, row, kPrice);
        const std::string date = CellOf(*m_pTable, row, kDate);
        if (quantity.empty() && price.empty() && date.empty())
            continue;
        Lot lot;
        std::string error;
        if (!ParseLotQuantity(quantity, lot.quantity, error) || !ParseLotPrice(price, lot.price, error) ||
            !ParseLotDate(date, lot.date, error)) {
            m_pError->setText(ToQString(FormatC("Lot %d: ", row + 1) + error));
            return false;
        }
        lots.push_back(std::move(lot));
    }
    m_pError->clear();
    m_lots = std::move(lots);
    return true;
}

void CDia_Holdings::accept()
{
    if (ReadLots())
        QDialog::accept();
}

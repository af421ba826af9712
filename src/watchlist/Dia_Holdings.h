#pragma once

#include <string>
#include <vector>

#include <QDialog>

#include "watchlist/Holdings.h"

class QLabel;
class QTableWidget;

// Edit Holdings: the lots of one row, one per line (quantity, price paid
// per unit in the quote's currency, optional date YYYY-MM-DD). OK reads
// every line; a line it cannot read is named with the reason and the
// dialog stays open. Lines left wholly empty are dropped.
//
// Children by object name: "holdingsTable" (QTableWidget), "holdingsError"
// (QLabel), "holdingsAdd", "holdingsRemove" (QPushButton).
class CDia_Holdings : public QDialog {
    Q_OBJECT

public:
    CDia_Holdings(const std::string& symbol, const std::string& currency, const std::vector<Lot>& lots,
                  QWidget* parent = nullptr);

    const std::vector<Lot>& Lots() const { return m_lots; }
    // Reads the table into Lots(); false with the message shown when a line is bad.
    bool ReadLots();

    void accept() override;

private:
    QTableWidget* m_pTable;
    QLabel* m_pError;
    std::vector<Lot> m_lots;
};

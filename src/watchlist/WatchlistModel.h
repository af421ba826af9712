#pragma once

#include <chrono>
#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <QTimer>

#include "quote/QuoteSourceRouter.h"
#include "watchlist/WatchlistCore.h"
#include "watchlist/WatchlistRefresher.h"

// The watchlist's rows as a table: the columns of WatchColumn, rising
// values green and falling red, a short highlight of a cell whose value
// changed, failed rows greyed with the reason in their tooltip, a bell in
// the symbol cell of a row with alert rules and a marked background while
// an alert that fired is not cleared.
class CWatchlistModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // How long a changed cell stays highlighted.
    static constexpr std::chrono::milliseconds kHighlightTime{1500};

    explicit CWatchlistModel(QObject* parent = nullptr);

    const std::vector<WatchRow>& Rows() const { return m_rows; }
    const WatchRow& Row(int row) const { return m_rows.at(static_cast<size_t>(row)); }
    void SetRows(std::vector<WatchRow> rows);
    std::vector<SecurityRecord> Securities() const;
    int FindRow(const SecurityRecord& security) const;

    // Adds the security at the end; -1 (nothing added) when it is already
    // there.
    int AddSecurity(const SecurityRecord& security);
    void RemoveRow(int row);
    // Takes over the rows of a merge with the watchlist file (whose rows of
    // ours come first, in our order): rows no longer there go, the kept
    // values of the others follow it, new rows are added at the end. The
    // file has these already, so contentsChanged is not emitted. Returns
    // the securities added.
    std::vector<SecurityRecord> AdoptRows(const std::vector<WatchRow>& rows);
    // Replaces the row's rules; the crossing state starts afresh.
    void SetAlert(int row, const AlertRule& rule);
    void ClearAlertMark(int row);
    // Times (ET or the local time) follow the quote windows' setting.
    void SetEasternTime(bool eastern);

    // One refresh result for the security (ignored when it is no longer
    // listed). Returns the alert texts the quote crossed.
    std::vector<std::string> ApplyResult(const SecurityRecord& security, const QuoteFetchResult& result);
    // The results of one batch, in order, as ApplyResult would apply them
    // one by one; the views hear of the change once (a single re-sort).
    std::vector<std::string> ApplyResults(const std::vector<CWatchlistRefresher::FetchedRow>& rows);

    // The text a cell shows.
    std::string CellText(int row, WatchColumn column) const;

    // Holdings. The money columns are in the base currency, converted with
    // the rates set here; a rate not set yet leaves the cells needing it
    // empty ("—", with the reason in the tooltip).
    void SetLots(int row, std::vector<Lot> lots);
    void SetBaseCurrency(const std::string& code);
    const std::string& BaseCurrency() const { return m_strBase; }
    void SetRate(const std::string& from, const std::string& to, double rate);
    const RateTable& Rates() const { return m_rates; }
    // The rate pairs (major currency, base) the rows with lots need, each
    // once; a refresh asks for all of them again.
    std::vector<std::pair<std::string, std::string>> NeededRatePairs() const;
    // A row's money cells, computed once after each change of its quote,
    // its lots, the rates or the base.
    const RowMoney& Money(int row) const;
    MoneyTotals Totals() const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The Quantity cell is editable: it sets the row's one lot.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // Rows, rules or marks changed: what the watchlist file keeps.
    void contentsChanged();

private:
    struct Highlight {
        std::chrono::steady_clock::time_point until{};
        unsigned columns = 0;  // bit per WatchColumn
    };
    void ExpireHighlights();
    // Applies the result to the row; true when its alert state changed.
    bool ApplyToRow(int row, const QuoteFetchResult& result, std::vector<std::string>& alerts);

    void MoneyChanged();
    void ForgetMoney(int row) const;
    void ForgetAllMoney() const;
    void KnowAllMoney() const;

    std::vector<WatchRow> m_rows;
    std::vector<Highlight> m_highlights;
    std::string m_strBase = "USD";
    RateTable m_rates;
    // The money of each row (parallel to m_rows), valid where m_moneyKnown
    // says so; filled when read.
    mutable std::vector<RowMoney> m_money;
    mutable std::vector<char> m_moneyKnown;
    QTimer m_highlightTimer;
    bool m_bEasternTime = true;
};

// Sorts the watchlist by a column with WatchRowLess: numbers as numbers.
class CWatchlistSortModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};

#include "watchlist/WatchlistModel.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <unordered_map>
#include <unordered_set>

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPixmap>

#include "chart/QuoteChartContent.h"
#include "base/CText.h"
#include "base/QtText.h"
#include "base/StatusText.h"

namespace {
const QColor kRising(0, 128, 0);
const QColor kFalling(192, 0, 0);
const QColor kGrey(140, 140, 140);
const QColor kHighlight(255, 240, 150);
const QColor kMarked(255, 214, 214);

unsigned Bit(WatchColumn column)
{
    return 1u << static_cast<unsigned>(column);
}

// The bell of a row with alert rules, drawn once.
const QPixmap& BellPixmap()
{
    static const QPixmap bell = [] {
        QPixmap pixmap(12, 12);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(200, 150, 0));
        painter.drawChord(QRectF(2, 1, 8, 14), 0, 180 * 16);
        painter.drawRect(QRectF(1, 7, 10, 2));
        painter.drawEllipse(QRectF(4.5, 9, 3, 3));
        return pixmap;
    }();
    return bell;
}

// The value as shown, in hundredths: a change that rounds to 0.00 is
// neither rising nor falling, and shows no sign.
double Hundredths(double value)
{
    const double rounded = std::round(value * 100) / 100;
    return rounded == 0 ? 0 : rounded;
}

std::string Signed(double value, const char* suffix)
{
    const double shown = Hundredths(value);
    return shown == 0 ? FormatC("0.00%s", suffix) : FormatC("%+.2f%s", shown, suffix);
}

// The columns whose text differs between two quotes.
unsigned ChangedColumns(const WatchQuote& before, const WatchQuote& after)
{
    unsigned changed = 0;
    if (before.last != after.last)
        changed |= Bit(WatchColumn::Last);
    if (before.change != after.change)
        changed |= Bit(WatchColumn::Change);
    if (before.changePercent != after.changePercent)
        changed |= Bit(WatchColumn::ChangePercent);
    if (before.dayHigh != after.dayHigh)
        changed |= Bit(WatchColumn::DayHigh);
    if (before.dayLow != after.dayLow)
        changed |= Bit(WatchColumn::DayLow);
    if (before.volume != after.volume)
        changed |= Bit(WatchColumn::Volume);
    if (before.currency != after.currency)
        changed |= Bit(WatchColumn::Currency);
    return changed;
}
}  // namespace

CWatchlistModel::CWatchlistModel(QObject* parent) : QAbstractTableModel(parent)
{
    m_highlightTimer.setSingleShot(true);
    connect(&m_highlightTimer, &QTimer::timeout, this, &CWatchlistModel::ExpireHighlights);
}

void CWatchlistModel::SetRows(std::vector<WatchRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_highlights.assign(m_rows.size(), Highlight{});
    ForgetAllMoney();
    endResetModel();
}

std::vector<SecurityRecord> CWatchlistModel::Securities() const
{
    std::vector<SecurityRecord> securities;
    securities.reserve(m_rows.size());
    for (const WatchRow& row : m_rows)
        securities.push_back(row.security);
    return securities;
}

int CWatchlistModel::FindRow(const SecurityRecord& security) const
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (SameSecurity(m_rows[i].security, security))
            return static_cast<int>(i);
    }
    return -1;
}

int CWatchlistModel::AddSecurity(const SecurityRecord& security)
{
    if (security.symbol.empty() || FindRow(security) >= 0)
        return -1;
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    WatchRow entry;
    entry.security.country = security.country;
    entry.security.symbol = ToUpperAscii(security.symbol);
    entry.security.company = security.company;
    m_rows.push_back(std::move(entry));
    m_highlights.emplace_back();
    m_money.emplace_back();
    m_moneyKnown.push_back(0);
    endInsertRows();
    emit contentsChanged();
    return row;
}

void CWatchlistModel::RemoveRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    m_highlights.erase(m_highlights.begin() + row);
    m_money.erase(m_money.begin() + row);
    m_moneyKnown.erase(m_moneyKnown.begin() + row);
    endRemoveRows();
    emit contentsChanged();
}

std::vector<SecurityRecord> CWatchlistModel::AdoptRows(const std::vector<WatchRow>& rows)
{
    std::unordered_map<std::string, const WatchRow*> merged;
    for (const WatchRow& row : rows)
        merged.emplace(WatchSecurityKey(row.security), &row);
    for (int row = rowCount() - 1; row >= 0; --row) {
        if (merged.count(WatchSecurityKey(m_rows[static_cast<size_t>(row)].security)))
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        m_rows.erase(m_rows.begin() + row);
        m_highlights.erase(m_highlights.begin() + row);
        m_money.erase(m_money.begin() + row);
        m_moneyKnown.erase(m_moneyKnown.begin() + row);
        endRemoveRows();
    }
    std::unordered_set<std::string> listed;
    for (int row = 0; row < rowCount(); ++row) {
        WatchRow& entry = m_rows[static_cast<size_t>(row)];
        const std::string key = WatchSecurityKey(entry.security);
        listed.insert(key);
        const WatchRow& kept = *merged.at(key);
        if (SameKeptRow(entry, kept))
            continue;
        entry.security.company = kept.security.company;
        entry.alert = kept.alert;
        entry.alertState = kept.alertState;
        entry.lots = kept.lots;
        ForgetMoney(row);
        emit dataChanged(index(row, 0), index(row, kWatchColumnCount - 1));
    }
    std::vector<SecurityRecord> added;
    for (const WatchRow& row : rows) {
        if (!listed.insert(WatchSecurityKey(row.security)).second)
            continue;
        const int at = rowCount();
        beginInsertRows(QModelIndex(), at, at);
        m_rows.push_back(row);
        m_highlights.emplace_back();
        m_money.emplace_back();
        m_moneyKnown.push_back(0);
        endInsertRows();
        added.push_back(row.security);
    }
    return added;
}

void CWatchlistModel::SetAlert(int row, const AlertRule& rule)
{
    if (row < 0 || row >= rowCount())
        return;
    WatchRow& entry = m_rows[static_cast<size_t>(row)];
    entry.alert = rule;
    const bool marked = entry.alertState.marked;
    entry.alertState = AlertState{};
    entry.alertState.marked = marked;
    // The current quote tells the side of each new rule at once, so only
    // a later crossing fires.
    if (entry.quote)
        EvaluateAlerts(entry.alert, entry.alertState, *entry.quote);
    entry.alertState.marked = marked;
    emit dataChanged(index(row, 0), index(row, kWatchColumnCount - 1));
    emit contentsChanged();
}

void CWatchlistModel::ClearAlertMark(int row)
{
    if (row < 0 || row >= rowCount() || !m_rows[static_cast<size_t>(row)].alertState.marked)
        return;
    m_rows[static_cast<size_t>(row)].alertState.marked = false;
    emit dataChanged(index(row, 0), index(row, kWatchColumnCount - 1));
    emit contentsChanged();
}

void CWatchlistModel::SetEasternTime(bool eastern)
{
    m_bEasternTime = eastern;
    if (!m_rows.empty()) {
        const int column = static_cast<int>(WatchColumn::Time);
        emit dataChanged(index(0, column), index(rowCount() - 1, column));
    }
}

std::vector<std::string> CWatchlistModel::ApplyResult(const SecurityRecord& security, const QuoteFetchResult& result)
{
    std::vector<std::string> alerts;
    const int row = FindRow(security);
    if (row < 0)
        return alerts;
    const bool alertChanged = ApplyToRow(row, result, alerts);
    emit dataChanged(index(row, 0), index(row, kWatchColumnCount - 1));
    if (alertChanged)
        emit contentsChanged();
    return alerts;
}

std::vector<std::string> CWatchlistModel::ApplyResults(const std::vector<CWatchlistRefresher::FetchedRow>& rows)
{
    std::vector<std::string> alerts;
    int first = rowCount();
    int last = -1;
    bool alertChanged = false;
    for (const CWatchlistRefresher::FetchedRow& fetched : rows) {
        const int row = FindRow(fetched.security);
        if (row < 0)
            continue;
        alertChanged = ApplyToRow(row, fetched.result, alerts) || alertChanged;
        first = std::min(first, row);
        last = std::max(last, row);
    }
    // One notice for the stretch: the sort model re-sorts and the view
    // repaints once, however many rows the batch held.
    if (last >= 0)
        emit dataChanged(index(first, 0), index(last, kWatchColumnCount - 1));
    if (alertChanged)
        emit contentsChanged();
    return alerts;
}

bool CWatchlistModel::ApplyToRow(int row, const QuoteFetchResult& result, std::vector<std::string>& alerts)
{
    WatchRow& entry = m_rows[static_cast<size_t>(row)];
    const AlertState stateBefore = entry.alertState;
    if (result.ok()) {
        const WatchQuote quote = WatchQuoteFrom(*result.quote, result.sourceId);
        if (entry.quote) {
            if (const unsigned changed = ChangedColumns(*entry.quote, quote)) {
                Highlight& highlight = m_highlights[static_cast<size_t>(row)];
                highlight.columns = changed;
                highlight.until = std::chrono::steady_clock::now() + kHighlightTime;
                if (!m_highlightTimer.isActive())
                    m_highlightTimer.start(static_cast<int>(kHighlightTime.count()));
            }
        }
        entry.quote = quote;
        ForgetMoney(row);
        entry.failed = false;
        entry.failure.clear();
        if (entry.security.company.empty() && !result.quote->companyName.empty())
            entry.security.company = result.quote->companyName;
        for (const AlertCrossing& crossing : EvaluateAlerts(entry.alert, entry.alertState, quote))
            alerts.push_back(DescribeCrossing(entry.security, crossing));
    } else {
        entry.failed = true;
        entry.failure = result.FailureSummary();
        if (entry.failure.empty())
            entry.failure = "no quote source answered";
    }
    return !(entry.alertState == stateBefore);
}

void CWatchlistModel::ExpireHighlights()
{
    const auto now = std::chrono::steady_clock::now();
    auto next = std::chrono::steady_clock::time_point::max();
    for (size_t i = 0; i < m_highlights.size(); ++i) {
        Highlight& highlight = m_highlights[i];
        if (!highlight.columns)
            continue;
        if (highlight.until <= now) {
            highlight.columns = 0;
            const int row = static_cast<int>(i);
            emit dataChanged(index(row, 0), index(row, kWatchColumnCount - 1), {Qt::BackgroundRole});
        } else {
            next = std::min(next, highlight.until);
        }
    }
    if (next != std::chrono::steady_clock::time_point::max()) {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count();
        m_highlightTimer.start(static_cast<int>(std::max<long long>(1, wait)));
    }
}

void CWatchlistModel::SetLots(int row, std::vector<Lot> lots)
{
    if (row < 0 || row >= rowCount())
        return;
    m_rows[static_cast<size_t>(row)].lots = std::move(lots);
    ForgetMoney(row);
    emit dataChanged(index(row, 0), index(row, kWatchColumnCount - 1));
    emit contentsChanged();
}

void CWatchlistModel::ForgetMoney(int row) const
{
    m_moneyKnown[static_cast<size_t>(row)] = 0;
}

void CWatchlistModel::ForgetAllMoney() const
{
    m_money.assign(m_rows.size(), RowMoney{});
    m_moneyKnown.assign(m_rows.size(), 0);
}

void CWatchlistModel::KnowAllMoney() const
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (!m_moneyKnown[i]) {
            m_money[i] = ComputeRowMoney(m_rows[i], m_strBase, m_rates);
            m_moneyKnown[i] = 1;
        }
    }
}

void CWatchlistModel::MoneyChanged()
{
    ForgetAllMoney();
    if (!m_rows.empty())
        emit dataChanged(index(0, static_cast<int>(WatchColumn::Quantity)),
                         index(rowCount() - 1, kWatchColumnCount - 1));
}

void CWatchlistModel::SetBaseCurrency(const std::string& code)
{
    if (code == m_strBase)
        return;
    m_strBase = code;
    MoneyChanged();
}

void CWatchlistModel::SetRate(const std::string& from, const std::string& to, double rate)
{
    const std::optional<double> before = m_rates.Rate(from, to);
    m_rates.Set(from, to, rate);
    if (m_rates.Rate(from, to) != before)
        MoneyChanged();
}

std::vector<std::pair<std::string, std::string>> CWatchlistModel::NeededRatePairs() const
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const WatchRow& row : m_rows) {
        if (row.lots.empty())
            continue;
        std::string error;
        const std::optional<CurrencyUnit> unit = ParseCurrencyUnit(RowCurrency(row), error);
        if (!unit || unit->code == m_strBase)
            continue;
        std::pair<std::string, std::string> pair{unit->code, m_strBase};
        if (std::find(pairs.begin(), pairs.end(), pair) == pairs.end())
            pairs.push_back(std::move(pair));
    }
    return pairs;
}

const RowMoney& CWatchlistModel::Money(int row) const
{
    const auto at = static_cast<size_t>(row);
    if (!m_moneyKnown.at(at)) {
        m_money[at] = ComputeRowMoney(m_rows.at(at), m_strBase, m_rates);
        m_moneyKnown[at] = 1;
    }
    return m_money[at];
}

MoneyTotals CWatchlistModel::Totals() const
{
    KnowAllMoney();
    return SumRowMoney(m_money);
}

Qt::ItemFlags CWatchlistModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && static_cast<WatchColumn>(index.column()) == WatchColumn::Quantity)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool CWatchlistModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount() ||
        static_cast<WatchColumn>(index.column()) != WatchColumn::Quantity)
        return false;
    const WatchRow& entry = Row(index.row());
    const std::string text = TrimWhitespace(FromQString(value.toString()));
    if (text.empty()) {
        // Emptied: a watched row again.
        SetLots(index.row(), {});
        return true;
    }
    double quantity = 0;
    std::string error;
    if (!ParseLotQuantity(text, quantity, error)) {
        ShowStatusText(entry.security.symbol + ": " + error);
        return false;
    }
    // One lot: its price stays; a new one is taken as bought at the last price.
    Lot lot;
    if (!entry.lots.empty()) {
        double paid = 0;
        for (const Lot& each : entry.lots)
            paid += each.quantity * each.price;
        lot.price = paid / TotalQuantity(entry.lots);
        if (entry.lots.size() == 1)
            lot.date = entry.lots.front().date;
    } else if (entry.quote) {
        lot.price = entry.quote->last;
    }
    lot.quantity = quantity;
    SetLots(index.row(), {lot});
    return true;
}

std::string CWatchlistModel::CellText(int row, WatchColumn column) const
{
    const WatchRow& entry = Row(row);
    if (IsMoneyColumn(column)) {
        if (entry.lots.empty())
            return {};
        const RowMoney& money = Money(row);
        switch (column) {
        case WatchColumn::Quantity: return FormatQuantity(money.quantity);
        case WatchColumn::Cost: return MoneyCellText(money.cost);
        case WatchColumn::Value: return MoneyCellText(money.value);
        case WatchColumn::DayGain: return MoneyCellText(money.dayGain);
        case WatchColumn::TotalGain: return MoneyCellText(money.totalGain);
        case WatchColumn::TotalGainPercent:
            return money.totalGainPercent ? FormatPercent(*money.totalGainPercent) + "%" : kMissingMoneyText;
        default: return {};
        }
    }
    switch (column) {
    case WatchColumn::Symbol:
        return entry.security.country.empty() || entry.security.country == "US"
                   ? entry.security.symbol
                   : entry.security.country + ":" + entry.security.symbol;
    case WatchColumn::Company: return entry.security.company;
    default: break;
    }
    if (!entry.quote)
        return {};
    const WatchQuote& q = *entry.quote;
    switch (column) {
    case WatchColumn::Last: return FormatC("%.2f", q.last);
    case WatchColumn::Currency: return q.currency;
    case WatchColumn::Change: return Signed(q.change, "");
    case WatchColumn::ChangePercent: return Signed(q.changePercent, "%");
    case WatchColumn::DayHigh: return FormatC("%.2f", q.dayHigh);
    case WatchColumn::DayLow: return FormatC("%.2f", q.dayLow);
    case WatchColumn::Volume: return FormatVolume(q.volume);
    case WatchColumn::Time: {
        if (q.quoteTime == 0)
            return {};
        QuoteRecord record;
        record.quoteTime = q.quoteTime;
        const PointTime time = PointTimeOf(record, m_bEasternTime, std::time(nullptr));
        if (time.hour < 0)
            return {};
        return FormatC("%02d:%02d%s", time.hour, time.minute, m_bEasternTime ? " ET" : "");
    }
    case WatchColumn::Source: return q.sourceId;
    default: return {};
    }
}

int CWatchlistModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CWatchlistModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kWatchColumnCount;
}

QVariant CWatchlistModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const WatchRow& entry = Row(index.row());
    const auto column = static_cast<WatchColumn>(index.column());
    if (IsMoneyColumn(column) && !entry.lots.empty()) {
        if (role == Qt::EditRole && column == WatchColumn::Quantity)
            return ToQString(FormatQuantity(TotalQuantity(entry.lots)));
        const RowMoney& money = Money(index.row());
        const MoneyCell* cell = column == WatchColumn::Cost        ? &money.cost
                                : column == WatchColumn::Value     ? &money.value
                                : column == WatchColumn::DayGain   ? &money.dayGain
                                : column == WatchColumn::TotalGain ? &money.totalGain
                                                                   : nullptr;
        if (role == Qt::ForegroundRole && !entry.failed) {
            const std::optional<std::int64_t> gain =
                column == WatchColumn::DayGain     ? money.dayGain.cents
                : column == WatchColumn::TotalGain || column == WatchColumn::TotalGainPercent ? money.totalGain.cents
                                                                                             : std::nullopt;
            if (gain && *gain > 0)
                return QBrush(kRising);
            if (gain && *gain < 0)
                return QBrush(kFalling);
        }
        if (role == Qt::ToolTipRole) {
            if (cell && !cell->cents)
                return ToQString(cell->missing);
            if (column == WatchColumn::TotalGainPercent && !money.totalGainPercent)
                return ToQString(money.percentMissing);
            if (column == WatchColumn::Quantity)
                return ToQString(FormatC("%d lot%s", static_cast<int>(entry.lots.size()),
                                         entry.lots.size() == 1 ? "" : "s"));
            if (cell)
                return ToQString("in " + m_strBase);
        }
    }
    switch (role) {
    case Qt::EditRole:
    case Qt::DisplayRole: return ToQString(CellText(index.row(), column));
    case Qt::TextAlignmentRole:
        if (column == WatchColumn::Symbol || column == WatchColumn::Company || column == WatchColumn::Currency ||
            column == WatchColumn::Source)
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ForegroundRole:
        if (entry.failed)
            return QBrush(kGrey);
        if (entry.quote && (column == WatchColumn::Last || column == WatchColumn::Change ||
                            column == WatchColumn::ChangePercent)) {
            const double change = Hundredths(entry.quote->change);
            if (change > 0)
                return QBrush(kRising);
            if (change < 0)
                return QBrush(kFalling);
        }
        return {};
    case Qt::BackgroundRole:
        if (m_highlights[static_cast<size_t>(index.row())].columns & Bit(column))
            return QBrush(kHighlight);
        if (entry.alertState.marked)
            return QBrush(kMarked);
        return {};
    case Qt::DecorationRole:
        if (column == WatchColumn::Symbol && !entry.alert.Empty())
            return BellPixmap();
        return {};
    case Qt::ToolTipRole: {
        std::string tip;
        if (entry.failed)
            tip = "Not refreshed: " + entry.failure;
        if (!entry.alert.Empty()) {
            if (!tip.empty())
                tip += "\n";
            tip += "Alerts:";
            if (entry.alert.above)
                tip += FormatC(" at or above %.2f;", *entry.alert.above);
            if (entry.alert.below)
                tip += FormatC(" at or below %.2f;", *entry.alert.below);
            if (entry.alert.movePercent)
                tip += FormatC(" move beyond %.2f %%;", *entry.alert.movePercent);
            if (entry.alertState.marked)
                tip += " (fired: clear it from the context menu)";
        }
        return tip.empty() ? QVariant() : QVariant(ToQString(tip));
    }
    default: return {};
    }
}

QVariant CWatchlistModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kWatchColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(WatchColumnTitle(static_cast<WatchColumn>(section)));
}

bool CWatchlistSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const auto* model = qobject_cast<const CWatchlistModel*>(sourceModel());
    if (!model)
        return QSortFilterProxyModel::lessThan(left, right);
    const auto column = static_cast<WatchColumn>(left.column());
    if (IsMoneyColumn(column) && column != WatchColumn::Quantity) {
        // By the amount shown; rows without one after those with one.
        const auto key = [&](int row) -> std::optional<double> {
            const RowMoney& money = model->Money(row);
            const MoneyCell& cell = column == WatchColumn::Cost    ? money.cost
                                    : column == WatchColumn::Value ? money.value
                                    : column == WatchColumn::DayGain ? money.dayGain
                                                                     : money.totalGain;
            if (column == WatchColumn::TotalGainPercent)
                return money.totalGainPercent;
            return cell.cents ? std::optional<double>(static_cast<double>(*cell.cents)) : std::nullopt;
        };
        const std::optional<double> a = key(left.row());
        const std::optional<double> b = key(right.row());
        if (a.has_value() != b.has_value())
            return a.has_value();
        return a && *a < *b;
    }
    return WatchRowLess(model->Row(left.row()), model->Row(right.row()), column);
}

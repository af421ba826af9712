#include "watchlist/WatchlistCore.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <unordered_map>
#include <unordered_set>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include "base/CText.h"

WatchQuote WatchQuoteFrom(const ParsedQuotePage& page, const std::string& sourceId)
{
    const QuoteRecord& q = page.quote;
    WatchQuote quote;
    quote.last = q.last;
    quote.dayHigh = q.dayHigh;
    quote.dayLow = q.dayLow;
    quote.prevClose = q.prevClose;
    quote.volume = q.volume;
    quote.quoteTime = q.quoteTime;
    quote.sourceId = sourceId;
    quote.currency = q.currency;
    if (q.prevClose != 0) {
        quote.change = q.last - q.prevClose;
        quote.changePercent = quote.change / q.prevClose * 100.0;
    } else {
        // The page's own change ("+1.25" or "-0.40"); the percentage needs
        // the close before it.
        quote.change = CAtof(TrimWhitespace(q.change));
        const double before = q.last - quote.change;
        quote.changePercent = before != 0 ? quote.change / before * 100.0 : 0;
    }
    return quote;
}

namespace {
// One rule's side after the quote, with the re-arm band: once past, the
// value must come back beyond `rearmAt` to count as inside again.
AlertSide NextSide(AlertSide side, bool past, bool backInside)
{
    if (past)
        return AlertSide::Past;
    if (side == AlertSide::Past && !backInside)
        return AlertSide::Past;
    return AlertSide::Inside;
}

bool Fires(AlertSide before, AlertSide after)
{
    return before == AlertSide::Inside && after == AlertSide::Past;
}
}  // namespace

std::vector<AlertCrossing> EvaluateAlerts(const AlertRule& rule, AlertState& state, const WatchQuote& quote)
{
    std::vector<AlertCrossing> crossings;
    if (rule.above) {
        const double at = *rule.above;
        const AlertSide next =
            NextSide(state.above, quote.last >= at, quote.last < at - std::fabs(at) * kAlertPriceRearmFraction);
        if (Fires(state.above, next))
            crossings.push_back({AlertCrossing::Kind::Above, at, quote.last});
        state.above = next;
    }
    if (rule.below) {
        const double at = *rule.below;
        const AlertSide next =
            NextSide(state.below, quote.last <= at, quote.last > at + std::fabs(at) * kAlertPriceRearmFraction);
        if (Fires(state.below, next))
            crossings.push_back({AlertCrossing::Kind::Below, at, quote.last});
        state.below = next;
    }
    if (rule.movePercent && quote.prevClose != 0) {
        const double at = std::fabs(*rule.movePercent);
        const double move = std::fabs(quote.changePercent);
        const AlertSide next = NextSide(state.move, move > at, move < at * (1.0 - kAlertMoveRearmFraction));
        if (Fires(state.move, next))
            crossings.push_back({AlertCrossing::Kind::Move, at, quote.changePercent});
        state.move = next;
    }
    if (!crossings.empty())
        state.marked = true;
    return crossings;
}

std::string DescribeCrossing(const SecurityRecord& security, const AlertCrossing& crossing)
{
    switch (crossing.kind) {
    case AlertCrossing::Kind::Above:
        return FormatC("%s rose to %.2f (alert at or above %.2f)", security.symbol.c_str(), crossing.value,
                       crossing.threshold);
    case AlertCrossing::Kind::Below:
        return FormatC("%s fell to %.2f (alert at or below %.2f)", security.symbol.c_str(), crossing.value,
                       crossing.threshold);
    case AlertCrossing::Kind::Move:
        return FormatC("%s moved %+.2f %% from the previous close (alert beyond %.2f %%)", security.symbol.c_str(),
                       crossing.value, crossing.threshold);
    }
    return {};
}

bool ParseWatchEntry(const std::string& text, SecurityRecord& security)
{
    const std::string entry = ToUpperAscii(TrimWhitespace(text));
    std::string country = "US";
    std::string symbol = entry;
    if (const auto colon = entry.find(':'); colon != std::string::npos) {
        country = TrimWhitespace(entry.substr(0, colon));
        symbol = TrimWhitespace(entry.substr(colon + 1));
        if (country.size() != 2 || !std::isalpha(static_cast<unsigned char>(country[0])) ||
            !std::isalpha(static_cast<unsigned char>(country[1])))
            return false;
    }
    if (symbol.empty())
        return false;
    for (char c : symbol) {
        if (IsAsciiSpace(c) || c == ':' || static_cast<unsigned char>(c) < 0x20)
            return false;
    }
    security.country = country;
    security.symbol = symbol;
    return true;
}

bool SameSecurity(const SecurityRecord& a, const SecurityRecord& b)
{
    return EqualsIgnoringAsciiCase(a.symbol, b.symbol) && EqualsIgnoringAsciiCase(a.country, b.country);
}

std::string WatchSecurityKey(const SecurityRecord& security)
{
    return ToUpperAscii(security.country) + ":" + ToUpperAscii(security.symbol);
}

bool SameKeptRow(const WatchRow& a, const WatchRow& b)
{
    return a.security.country == b.security.country && a.security.symbol == b.security.symbol &&
           a.security.company == b.security.company && a.alert == b.alert && a.alertState == b.alertState && a.lots == b.lots;
}

namespace {
// The rows by security (country and symbol, ignoring letter case), so that
// a merge of long lists stays linear.
class RowIndex {
public:
    explicit RowIndex(const std::vector<WatchRow>& rows)
    {
        for (const WatchRow& row : rows)
            m_rows.emplace(Key(row.security), &row);
    }
    const WatchRow* Find(const SecurityRecord& security) const
    {
        const auto it = m_rows.find(Key(security));
        return it == m_rows.end() ? nullptr : it->second;
    }
    static std::string Key(const SecurityRecord& security) { return WatchSecurityKey(security); }

private:
    std::unordered_map<std::string, const WatchRow*> m_rows;
};
}  // namespace

std::vector<WatchRow> MergeWatchRows(const std::vector<WatchRow>& base, const std::vector<WatchRow>& ours,
                                     const std::vector<WatchRow>& theirs)
{
    const RowIndex known(base);
    const RowIndex other(theirs);
    std::unordered_set<std::string> taken;
    std::vector<WatchRow> merged;
    merged.reserve(ours.size() + theirs.size());
    for (const WatchRow& mine : ours) {
        if (!taken.insert(RowIndex::Key(mine.security)).second)
            continue;
        const WatchRow* before = known.Find(mine.security);
        const WatchRow* elsewhere = other.Find(mine.security);
        if (!elsewhere) {
            // Missing from the file: deleted there when we had read it, else
            // added here since.
            if (!before)
                merged.push_back(mine);
            continue;
        }
        // What changed only elsewhere is taken from there; the quote stays ours.
        WatchRow row = mine;
        if (before) {
            if (mine.security.company == before->security.company)
                row.security.company = elsewhere->security.company;
            // A rule goes with its crossing state.
            const bool ruleHere = !(mine.alert == before->alert);
            const bool ruleThere = !(elsewhere->alert == before->alert);
            if (!ruleHere && (ruleThere || mine.alertState == before->alertState)) {
                row.alert = elsewhere->alert;
                row.alertState = elsewhere->alertState;
            }
            if (mine.lots == before->lots)
                row.lots = elsewhere->lots;
        }
        merged.push_back(std::move(row));
    }
    for (const WatchRow& row : theirs) {
        // Listed when we last read the file and gone here: deleted here.
        if (known.Find(row.security) || !taken.insert(RowIndex::Key(row.security)).second)
            continue;
        merged.push_back(row);
    }
    return merged;
}

namespace {
const char* SideName(AlertSide side)
{
    switch (side) {
    case AlertSide::Inside: return "inside";
    case AlertSide::Past: return "past";
    case AlertSide::Unknown: break;
    }
    return "unknown";
}

AlertSide SideFromName(const QString& name)
{
    if (name == QLatin1String("inside"))
        return AlertSide::Inside;
    if (name == QLatin1String("past"))
        return AlertSide::Past;
    return AlertSide::Unknown;
}

QString Q(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string S(const QJsonValue& value)
{
    return value.toString().toStdString();
}

// A rule's value: absent or null is no rule; anything else must be a number.
bool ReadRule(const QJsonObject& alerts, const char* name, std::optional<double>& value)
{
    const QJsonValue v = alerts.value(QLatin1String(name));
    if (v.isUndefined() || v.isNull())
        return true;
    if (!v.isDouble() || !std::isfinite(v.toDouble()))
        return false;
    value = v.toDouble();
    return true;
}

// A row's lots: absent is none; each must be a quantity above 0, a price
// not below 0 and an optional date, else the file is damaged.
bool ReadLots(const QJsonValue& value, std::vector<Lot>& lots, std::string& error)
{
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isArray()) {
        error = "\"lots\" is not a list";
        return false;
    }
    const QJsonArray array = value.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonObject object = array.at(i).toObject();
        const QJsonValue quantity = object.value(QStringLiteral("quantity"));
        const QJsonValue price = object.value(QStringLiteral("price"));
        const QJsonValue date = object.value(QStringLiteral("date"));
        Lot lot;
        std::string why;
        if (!array.at(i).isObject() || !quantity.isDouble() || !std::isfinite(quantity.toDouble()) ||
            quantity.toDouble() <= 0) {
            why = "has a quantity that is not a number above 0";
        } else if (!price.isDouble() || !std::isfinite(price.toDouble()) || price.toDouble() < 0) {
            why = "has a price that is not a number of at least 0";
        } else if (!(date.isUndefined() || date.isNull()) &&
                   (!date.isString() || !ParseLotDate(S(date), lot.date, why))) {
            why = "has a date that is not YYYY-MM-DD";
        }
        if (!why.empty()) {
            error = FormatC("lot %d %s", static_cast<int>(i + 1), why.c_str());
            return false;
        }
        lot.quantity = quantity.toDouble();
        lot.price = price.toDouble();
        lots.push_back(std::move(lot));
    }
    return true;
}
}  // namespace

QJsonArray WatchRowsToJsonArray(const std::vector<WatchRow>& rows)
{
    QJsonArray array;
    for (const WatchRow& row : rows) {
        QJsonObject object;
        object.insert(QStringLiteral("country"), Q(row.security.country));
        object.insert(QStringLiteral("symbol"), Q(row.security.symbol));
        object.insert(QStringLiteral("company"), Q(row.security.company));
        if (!row.alert.Empty()) {
            QJsonObject alerts;
            if (row.alert.above)
                alerts.insert(QStringLiteral("above"), *row.alert.above);
            if (row.alert.below)
                alerts.insert(QStringLiteral("below"), *row.alert.below);
            if (row.alert.movePercent)
                alerts.insert(QStringLiteral("movePercent"), *row.alert.movePercent);
            object.insert(QStringLiteral("alerts"), alerts);
            QJsonObject state;
            state.insert(QStringLiteral("above"), QLatin1String(SideName(row.alertState.above)));
            state.insert(QStringLiteral("below"), QLatin1String(SideName(row.alertState.below)));
            state.insert(QStringLiteral("move"), QLatin1String(SideName(row.alertState.move)));
            object.insert(QStringLiteral("alertState"), state);
        }
        if (row.alertState.marked)
            object.insert(QStringLiteral("alertMarked"), true);
        if (!row.lots.empty()) {
            QJsonArray lots;
            for (const Lot& lot : row.lots) {
                QJsonObject entry;
                entry.insert(QStringLiteral("quantity"), lot.quantity);
                entry.insert(QStringLiteral("price"), lot.price);
                if (!lot.date.empty())
                    entry.insert(QStringLiteral("date"), Q(lot.date));
                lots.append(entry);
            }
            object.insert(QStringLiteral("lots"), lots);
        }
        array.append(object);
    }
    return array;
}

std::string WatchlistToJson(const std::vector<WatchRow>& rows, bool compact)
{
    QJsonObject root;
    root.insert(QStringLiteral("version"), 1);
    root.insert(QStringLiteral("rows"), WatchRowsToJsonArray(rows));
    return QJsonDocument(root).toJson(compact ? QJsonDocument::Compact : QJsonDocument::Indented).toStdString();
}

std::optional<std::vector<WatchRow>> WatchlistFromJson(const std::string& text, std::string& error)
{
    QJsonParseError parseError;
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray(text.data(), static_cast<qsizetype>(text.size())), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = FormatC("not valid JSON at byte %d: %s", static_cast<int>(parseError.offset),
                        parseError.errorString().toStdString().c_str());
        return std::nullopt;
    }
    if (!document.isObject() || !document.object().value(QStringLiteral("rows")).isArray()) {
        error = "no \"rows\" list";
        return std::nullopt;
    }
    std::vector<WatchRow> rows;
    if (!WatchRowsFromJsonArray(document.object().value(QStringLiteral("rows")).toArray(), rows, error))
        return std::nullopt;
    return rows;
}

bool WatchRowsFromJsonArray(const QJsonArray& array, std::vector<WatchRow>& rows, std::string& error)
{
    // A security listed twice would lose one of its rows (and its lots) at
    // the next merge, so such a file is refused whole and kept aside.
    std::unordered_set<std::string> listed;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonObject object = array.at(i).toObject();
        WatchRow row;
        row.security.country = S(object.value(QStringLiteral("country")));
        row.security.symbol = S(object.value(QStringLiteral("symbol")));
        row.security.company = S(object.value(QStringLiteral("company")));
        if (!array.at(i).isObject() || row.security.symbol.empty()) {
            error = FormatC("row %d has no symbol", static_cast<int>(i + 1));
            return false;
        }
        const QJsonObject alerts = object.value(QStringLiteral("alerts")).toObject();
        if (!ReadRule(alerts, "above", row.alert.above) || !ReadRule(alerts, "below", row.alert.below) ||
            !ReadRule(alerts, "movePercent", row.alert.movePercent)) {
            error = FormatC("row %d (%s) has an alert that is not a number", static_cast<int>(i + 1),
                            row.security.symbol.c_str());
            return false;
        }
        // The crossing state belongs to the rules, and is written only with
        // them; without a rule it would not read back the same after a save.
        if (!row.alert.Empty()) {
            const QJsonObject state = object.value(QStringLiteral("alertState")).toObject();
            row.alertState.above = SideFromName(state.value(QStringLiteral("above")).toString());
            row.alertState.below = SideFromName(state.value(QStringLiteral("below")).toString());
            row.alertState.move = SideFromName(state.value(QStringLiteral("move")).toString());
        }
        row.alertState.marked = object.value(QStringLiteral("alertMarked")).toBool();
        if (!ReadLots(object.value(QStringLiteral("lots")), row.lots, error)) {
            error = FormatC("row %d (%s): %s", static_cast<int>(i + 1), row.security.symbol.c_str(), error.c_str());
            return false;
        }
        if (!listed.insert(WatchSecurityKey(row.security)).second) {
            error = FormatC("row %d (%s) is listed twice", static_cast<int>(i + 1), row.security.symbol.c_str());
            return false;
        }
        rows.push_back(std::move(row));
    }
    return true;
}

const char* WatchColumnTitle(WatchColumn column)
{
    switch (column) {
    case WatchColumn::Symbol: return "Symbol";
    case WatchColumn::Company: return "Company";
    case WatchColumn::Last: return "Last";
    case WatchColumn::Currency: return "Currency";
    case WatchColumn::Change: return "Change";
    case WatchColumn::ChangePercent: return "% Change";
    case WatchColumn::DayHigh: return "Day's High";
    case WatchColumn::DayLow: return "Day's Low";
    case WatchColumn::Volume: return "Volume";
    case WatchColumn::Time: return "Time";
    case WatchColumn::Source: return "Source";
    case WatchColumn::Quantity: return "Quantity";
    case WatchColumn::Cost: return "Cost";
    case WatchColumn::Value: return "Value";
    case WatchColumn::DayGain: return "Day's Gain";
    case WatchColumn::TotalGain: return "Total Gain";
    case WatchColumn::TotalGainPercent: return "Total Gain %";
    case WatchColumn::Count: break;
    }
    return "";
}

double VolumeNumber(const std::string& volume)
{
    double value = 0;
    bool any = false;
    for (char c : volume) {
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            any = true;
        } else if (c == ',' || (c == ' ' && !any)) {
            continue;
        } else {
            break;
        }
    }
    return value;
}

namespace {
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Digits alone, or digits grouped by commas in threes after a first group
// of one to three.
bool IsPlainWholeNumber(const std::string& text)
{
    if (text.empty() || !IsDigit(text.front()))
        return false;
    const auto comma = text.find(',');
    if (comma == std::string::npos)
        return std::all_of(text.begin(), text.end(), IsDigit);
    if (comma > 3)
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool groupSeparator = i >= comma && (i - comma) % 4 == 0;
        if (groupSeparator ? text[i] != ',' : !IsDigit(text[i]))
            return false;
    }
    return (text.size() - comma) % 4 == 0;
}
}  // namespace

std::string FormatVolume(const std::string& volume)
{
    const std::string text = TrimWhitespace(volume);
    if (!IsPlainWholeNumber(text))
        return volume;
    std::string digits;
    for (char c : text) {
        if (IsDigit(c))
            digits += c;
    }
    std::string grouped;
    grouped.reserve(digits.size() + digits.size() / 3);
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

namespace {
int CompareText(const std::string& a, const std::string& b)
{
    const std::string la = ToLowerAscii(a);
    const std::string lb = ToLowerAscii(b);
    return la < lb ? -1 : (lb < la ? 1 : 0);
}

int CompareNumber(double a, double b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}
}  // namespace

bool WatchRowLess(const WatchRow& a, const WatchRow& b, WatchColumn column)
{
    if (column == WatchColumn::Symbol)
        return CompareText(a.security.symbol, b.security.symbol) < 0;
    if (column == WatchColumn::Company)
        return CompareText(a.security.company, b.security.company) < 0;
    if (column == WatchColumn::Quantity)
        return CompareNumber(TotalQuantity(a.lots), TotalQuantity(b.lots)) < 0;
    if (a.quote.has_value() != b.quote.has_value())
        return a.quote.has_value();
    if (!a.quote)
        return false;
    const WatchQuote& x = *a.quote;
    const WatchQuote& y = *b.quote;
    switch (column) {
    case WatchColumn::Last: return CompareNumber(x.last, y.last) < 0;
    case WatchColumn::Currency: return CompareText(x.currency, y.currency) < 0;
    case WatchColumn::Change: return CompareNumber(x.change, y.change) < 0;
    case WatchColumn::ChangePercent: return CompareNumber(x.changePercent, y.changePercent) < 0;
    case WatchColumn::DayHigh: return CompareNumber(x.dayHigh, y.dayHigh) < 0;
    case WatchColumn::DayLow: return CompareNumber(x.dayLow, y.dayLow) < 0;
    case WatchColumn::Volume: return CompareNumber(VolumeNumber(x.volume), VolumeNumber(y.volume)) < 0;
    case WatchColumn::Time: return x.quoteTime < y.quoteTime;
    case WatchColumn::Source: return CompareText(x.sourceId, y.sourceId) < 0;
    default: return false;
    }
}

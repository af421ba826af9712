#include "quote/QuoteSourceFormats.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string_view>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>
#include <QTime>
#include <QTimeZone>

#include "base/CText.h"
#include "quote/CnnQuotePage.h"
#include "quote/ExchangeZones.h"
#include "quote/JsonPath.h"
#include "quote/JsonTextPlace.h"
#include "quote/MsnQuotePage.h"
#include "quote/PageDownloader.h"

namespace {

constexpr char kWebPageError[] = "the source answered with a web page instead of quote data";
#define QUORELLE_NO_QUOTE "the source has no quote for this symbol"
constexpr char kNoQuoteError[] = QUORELLE_NO_QUOTE;
constexpr char kNoQuoteLineError[] = QUORELLE_NO_QUOTE ": the answer holds no quote line";
#undef QUORELLE_NO_QUOTE
// Epoch times beyond this many seconds (about the year 318,857) are junk.
constexpr double kMaxEpochSeconds = 1e13;

// One value found in the answer: a text, and the number when the answer
// carried a number as such (a JSON number).
struct Cell {
    std::string text;
    std::optional<double> number;
};

// The fewest digits that read back to the same double; whole numbers without a fraction.
std::string NumberText(double value)
{
    if (std::isfinite(value) && std::floor(value) == value && std::fabs(value) < 1e15)
        return FormatC("%.0f", value);
    for (int digits = 1; digits < 17; ++digits) {
        std::string text = FormatC("%.*g", digits, value);
        if (CAtof(text) == value)
            return text;
    }
    return FormatC("%.17g", value);
}

struct NumberOptions {
    char decimal = '.';
    bool dropOtherSeparator = false;  // csv: the separator that is not the decimal one, and blanks
};

// Removes the blanks spreadsheets put between thousands: the no-break
// space and the narrow one in UTF-8, then a Windows-1252 no-break space.
// Left in, they would end the number at its first thousand.
void DropNoBreakSpaces(std::string& text)
{
    for (const std::string_view blank : {std::string_view("\xC2\xA0"), std::string_view("\xE2\x80\xAF")})
        for (size_t at = text.find(blank); at != std::string::npos; at = text.find(blank, at))
            text.erase(at, blank.size());
    std::erase(text, '\xA0');
}

std::optional<double> ReadNumber(const std::string& raw, const NumberOptions& options)
{
    std::string text = TrimWhitespace(raw);
    if (options.dropOtherSeparator) {
        const char thousands = options.decimal == ',' ? '.' : ',';
        DropNoBreakSpaces(text);
        std::erase_if(text, [thousands](char c) { return c == thousands || c == ' '; });
    }
    if (options.decimal == ',')
        std::replace(text.begin(), text.end(), ',', '.');
    // Only a text that starts as a number is one: "N/A" is no value, not 0.
    size_t at = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    if (at < text.size() && text[at] == '.')
        ++at;
    if (at >= text.size() || text[at] < '0' || text[at] > '9')
        return std::nullopt;
    const double value = CAtof(text);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> EpochFromNumber(double value, bool milliseconds)
{
    if (milliseconds)
        value /= 1000;
    if (!std::isfinite(value) || std::fabs(value) > kMaxEpochSeconds)
        return std::nullopt;
    return static_cast<std::int64_t>(std::floor(value));
}

// The longest run of the letter in a pattern's letters.
size_t LongestRun(const std::string& letters, char letter)
{
    size_t longest = 0;
    size_t run = 0;
    for (char c : letters) {
        run = c == letter ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// The zone of the exchange whose clock a quote is stored on; see
// QuoteTimeRule. Empty: this machine's own clock.
std::string ExchangeZoneFor(const QuoteTimeRule& rule, const std::string& answerZone, const std::string& country)
{
    const std::string named = TrimWhitespace(answerZone);
    if (IsKnownZone(named))
        return named;
    const bool pattern = rule.kind == QuoteTimeRule::Kind::Pattern;
    if (!pattern && !rule.zone.empty())
        return rule.zone;
    if (const ExchangeCountry* entry = FindExchangeCountry(country))
        return entry->zone;
    return pattern ? rule.zone : std::string();
}

// Reads times by one rule onto the quote clock of one exchange; the zone,
// the format and a date-less pattern's date are worked out once, not per value.
class TimeReader {
public:
    TimeReader(const QuoteTimeRule& rule, std::time_t now, std::string exchangeZone)
        : m_rule(rule),
          m_zone(rule.kind == QuoteTimeRule::Kind::Pattern ? QTimeZone(QByteArray::fromStdString(rule.zone))
                                                           : QTimeZone()),
          m_exchangeZone(std::move(exchangeZone))
    {
        if (rule.kind != QuoteTimeRule::Kind::Pattern || !m_zone.isValid())
            return;
        m_format = QString::fromStdString(rule.pattern) + QStringLiteral(" t");
        const std::string letters = PatternLetters(rule.pattern);
        if (letters.find_first_of("dMy") == std::string::npos)
            m_today = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(now), m_zone).date();
        m_twoDigitYear = LongestRun(letters, 'y') == 2;
    }

    const std::string& ExchangeZone() const { return m_exchangeZone; }

    // The time on the exchange's clock (QuoteRecord::quoteTime's reading).
    std::optional<std::int64_t> operator()(const Cell& cell) const
    {
        const std::optional<std::int64_t> instant = Instant(cell);
        if (!instant)
            return std::nullopt;
        return ExchangeWallClock(*instant, m_exchangeZone);
    }

private:
    std::optional<std::int64_t> Instant(const Cell& cell) const
    {
        if (m_rule.kind != QuoteTimeRule::Kind::Pattern) {
            const std::optional<double> number = cell.number ? cell.number : ReadNumber(cell.text, {});
            if (!number)
                return std::nullopt;
            return EpochFromNumber(*number, m_rule.kind == QuoteTimeRule::Kind::EpochMilliseconds);
        }
        const std::string text = TrimWhitespace(cell.text);
        if (text.empty() || !m_zone.isValid())
            return std::nullopt;
        // Read as UTC, so the machine's own zone (and its daylight-saving gaps)
        // plays no part; the wall-clock fields are then placed in the source's zone.
        const QDateTime read = QDateTime::fromString(QString::fromStdString(text) + QStringLiteral(" UTC"), m_format);
        if (!read.isValid())
            return std::nullopt;
        QDate date = m_today ? *m_today : read.date();
        // QDateTime reads "yy" as 19yy; the POSIX rule puts 00-68 in this century.
        if (m_twoDigitYear && !m_today && date.year() < 1969)
            date = date.addYears(100);
        const QDateTime placed(date, read.time(), m_zone);
        if (!placed.isValid())
            return std::nullopt;
        return static_cast<std::int64_t>(placed.toSecsSinceEpoch());
    }

    const QuoteTimeRule& m_rule;
    QTimeZone m_zone;
    std::string m_exchangeZone;
    QString m_format;
    // Set when the pattern holds no date: the date `now` has in the zone.
    std::optional<QDate> m_today;
    bool m_twoDigitYear = false;
};

// The member that stands for the field name among the (name, member) pairs, or nullptr.
template <typename Member, std::size_t N>
Member* FieldTarget(const std::string& name, const std::pair<const char*, Member*> (&fields)[N])
{
    for (const auto& [field, target] : fields)
        if (name == field)
            return target;
    return nullptr;
}

// Fills one field from a cell; false when the cell yields no value for it.
class FieldWriter {
public:
    FieldWriter(ParsedQuotePage& page, const TimeReader& readTime, NumberOptions numbers)
        : m_page(page), m_readTime(readTime), m_numbers(numbers)
    {
    }

    bool Write(const std::string& name, const Cell& cell)
    {
        QuoteRecord& q = m_page.quote;
        if (name == "quoteTime") {
            const auto time = m_readTime(cell);
            if (time)
                q.quoteTime = *time;
            return time.has_value();
        }
        if (name == "delayMinutes") {
            const auto number = Number(cell);
            if (!number || *number < INT32_MIN || *number > INT32_MAX)
                return false;
            q.delayMinutes = static_cast<std::int32_t>(*number);
            return true;
        }
        if (double* target = NumberField(name)) {
            const auto number = Number(cell);
            // A last price of 0 is what sources send for a symbol without
            // trades: no quote, as a missing one. Negative prices are real.
            if (name == "last" && number && *number == 0)
                return false;
            if (number)
                *target = *number;
            if (name == "last")
                m_hasLast = number.has_value();
            return number.has_value();
        }
        std::string text = TrimWhitespace(cell.number ? NumberText(*cell.number) : cell.text);
        if (text.empty())
            return false;
        if (name == "company")
            m_page.companyName = std::move(text);
        else if (std::string* target = TextField(name))
            *target = std::move(text);
        else
            return false;
        return true;
    }

    bool HasLast() const { return m_hasLast; }

private:
    std::optional<double> Number(const Cell& cell) const
    {
        if (cell.number)
            return std::isfinite(*cell.number) ? cell.number : std::nullopt;
        return ReadNumber(cell.text, m_numbers);
    }

    double* NumberField(const std::string& name)
    {
        QuoteRecord& q = m_page.quote;
        const std::pair<const char*, double*> fields[] = {
            {"last", &q.last},
            {"dayHigh", &q.dayHigh},
            {"dayLow", &q.dayLow},
            {"open", &q.open},
            {"prevClose", &q.prevClose},
            {"bid", &q.bid},
            {"ask", &q.ask},
            {"week52High", &q.week52High},
            {"week52Low", &q.week52Low},
            {"peRatio", &q.peRatio},
            {"earningsPerShare", &q.earningsPerShare},
            {"dividendPerShare", &q.dividendPerShare},
            {"dividendYield", &q.dividendYield},
            {"forwardPE", &q.forwardPE},
            {"returnOnEquity", &q.returnOnEquity},
            {"beta", &q.beta},
        };
        return FieldTarget(name, fields);
    }

    std::string* TextField(const std::string& name)
    {
        QuoteRecord& q = m_page.quote;
        const std::pair<const char*, std::string*> fields[] = {
            {"change", &q.change},
            {"volume", &q.volume},
            {"avgVolume", &q.avgVolume},
            {"institutionalOwnership", &q.institutionalOwnership},
            {"marketCap", &q.marketCap},
            {"totalShares", &q.totalShares},
            {"exchange", &q.exchange},
            {"sales", &q.sales},
            {"currency", &q.currency},
        };
        return FieldTarget(name, fields);
    }

    ParsedQuotePage& m_page;
    const TimeReader& m_readTime;
    NumberOptions m_numbers;
    bool m_hasLast = false;
};

QuoteExtraction Failure(QuoteExtraction::Status status, std::string error)
{
    QuoteExtraction result;
    result.status = status;
    result.error = std::move(error);
    return result;
}

QuoteExtraction Success(ParsedQuotePage page)
{
    QuoteExtraction result;
    result.status = QuoteExtraction::Status::Quote;
    result.quote = std::move(page);
    return result;
}

// Finishes a quote whose fields are written: no last price is no data, a
// missing change is computed, and a missing currency is `currency`.
QuoteExtraction Finish(ParsedQuotePage page, bool hasLast, const std::string& noQuoteDetail,
                       const std::string& currency)
{
    if (!hasLast) {
        std::string error = kNoQuoteError;
        if (!noQuoteDetail.empty())
            error.append(": ").append(noQuoteDetail);
        return Failure(QuoteExtraction::Status::NoData, std::move(error));
    }
    QuoteRecord& q = page.quote;
    if (q.change.empty() && q.prevClose != 0) {
        const double difference = q.last - q.prevClose;
        q.change = FormatC("%+.2f (%+.2f%%)", difference, 100 * difference / q.prevClose);
    }
    if (q.currency.empty())
        q.currency = currency;
    return Success(std::move(page));
}

std::string_view WithoutBom(std::string_view body)
{
    if (body.starts_with("\xEF\xBB\xBF"))
        body.remove_prefix(3);
    return body;
}

// nullopt when the body is fit to be read as csv or json, else the failure.
// The currency of a country's exchange, empty when the country is unknown.
std::string CountryCurrency(const std::string& country)
{
    const ExchangeCountry* entry = FindExchangeCountry(country);
    return entry ? entry->currency : std::string();
}

std::optional<QuoteExtraction> RefuseNonData(std::string_view body)
{
    const std::string text = TrimWhitespace(WithoutBom(body));
    if (text.empty())
        return Failure(QuoteExtraction::Status::BadAnswer, "the source sent an empty answer");
    if (text.front() == '<')
        return Failure(QuoteExtraction::Status::BadAnswer, kWebPageError);
    return std::nullopt;
}

// ---- page ----

std::string CutPageRule(const std::string& body, const QuoteFieldRule& rule)
{
    std::string text = CPageDownloader::ExtractField(body, rule.before, rule.marker, rule.terminator, rule.count);
    if (rule.longerThan > 0 && !rule.alternative.empty() && text.size() > static_cast<size_t>(rule.longerThan))
        return CutPageRule(body, rule.alternative.front());
    if (rule.stripThousands)
        std::erase(text, ',');
    return text;
}

QuoteExtraction ExtractPage(const QuoteSourceDefinition& source, const std::string& body, std::time_t now,
                            const std::string& country)
{
    ParsedQuotePage page;
    const TimeReader readTime(source.quoteTime, now, ExchangeZoneFor(source.quoteTime, {}, country));
    page.exchangeZone = readTime.ExchangeZone();
    FieldWriter writer(page, readTime, {});
    for (const QuoteFieldRules& field : source.fields)
        for (const QuoteFieldRule& rule : field.rules)
            if (writer.Write(field.name, Cell{CutPageRule(body, rule), std::nullopt}))
                break;
    return Finish(std::move(page), writer.HasLast(), {}, CountryCurrency(country));
}

// ---- csv ----

// The records of a csv text: RFC 4180 quoting (a quoted cell may hold the
// delimiter, line breaks and doubled quotes), CR LF or LF line ends; blank
// lines are skipped. Reading stops after `wanted` records.
std::vector<std::vector<std::string>> ReadCsvRecords(std::string_view text, char delimiter, size_t wanted)
{
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> record;
    std::string cell;
    bool quoted = false;
    bool cellStarted = false;
    auto endRecord = [&] {
        if (cellStarted || !record.empty() || !cell.empty()) {
            record.push_back(std::move(cell));
            records.push_back(std::move(record));
        }
        record.clear();
        cell.clear();
        cellStarted = false;
    };
    for (size_t i = 0; i < text.size() && records.size() < wanted; ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    cell += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
        } else if (c == '"') {
            quoted = true;
            cellStarted = true;
        } else if (c == delimiter) {
            record.push_back(std::move(cell));
            cell.clear();
            cellStarted = true;
        } else if (c == '\n') {
            endRecord();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            // the LF ends the record
        } else {
            cell += c;
        }
    }
    if (records.size() < wanted)
        endRecord();
    return records;
}

bool SameName(const std::string& a, const std::string& b)
{
    return EqualsIgnoringAsciiCase(TrimWhitespaceView(a), TrimWhitespaceView(b));
}

QuoteExtraction ExtractCsv(const QuoteSourceDefinition& source, const std::string& body, std::time_t now,
                           const std::string& country)
{
    if (auto refused = RefuseNonData(body))
        return *refused;
    const CsvOptions& options = source.csv;
    const auto records = ReadCsvRecords(WithoutBom(body), options.delimiter, options.header ? 2 : 1);
    if (records.empty())
        return Failure(QuoteExtraction::Status::BadAnswer, "the answer holds no csv line");
    const std::vector<std::string> noHeader;
    const std::vector<std::string>& header = options.header ? records.front() : noHeader;

    // The 0-based index of a rule's column, or -1.
    auto columnIndex = [&](const QuoteFieldRule& rule, const std::string& column) -> long {
        if (rule.columnNumbers)
            return CAtoi(column) - 1L;
        for (size_t i = 0; i < header.size(); ++i)
            if (SameName(header[i], column))
                return static_cast<long>(i);
        return -1;
    };

    if (options.header) {
        bool lastColumnFound = false;
        std::string lastColumns;
        for (const QuoteFieldRules& field : source.fields) {
            if (field.name != "last")
                continue;
            for (const QuoteFieldRule& rule : field.rules)
                for (const std::string& column : rule.columns) {
                    lastColumnFound = lastColumnFound || columnIndex(rule, column) >= 0;
                    lastColumns += (lastColumns.empty() ? "\"" : ", \"") + column + "\"";
                }
        }
        if (!lastColumnFound)
            return Failure(QuoteExtraction::Status::BadAnswer,
                           "the answer has no column " + lastColumns + " for the last price");
    }
    const size_t rowAt = options.header ? 1 : 0;
    if (records.size() <= rowAt)
        return Failure(QuoteExtraction::Status::NoData, kNoQuoteLineError);
    const std::vector<std::string>& row = records[rowAt];

    auto isNoValue = [&options](const std::string& cell) {
        const std::string text = TrimWhitespace(cell);
        return std::find(options.noValue.begin(), options.noValue.end(), text) != options.noValue.end();
    };

    ParsedQuotePage page;
    const TimeReader readTime(source.quoteTime, now, ExchangeZoneFor(source.quoteTime, {}, country));
    page.exchangeZone = readTime.ExchangeZone();
    FieldWriter writer(page, readTime, {options.decimal, true});
    for (const QuoteFieldRules& field : source.fields) {
        for (const QuoteFieldRule& rule : field.rules) {
            std::string joined;
            bool missing = false;
            for (const std::string& column : rule.columns) {
                const long at = columnIndex(rule, column);
                if (at < 0 || static_cast<size_t>(at) >= row.size() || isNoValue(row[static_cast<size_t>(at)])) {
                    missing = true;
                    break;
                }
                if (!joined.empty())
                    joined += ' ';
                joined += TrimWhitespace(row[static_cast<size_t>(at)]);
            }
            if (!missing && writer.Write(field.name, Cell{joined, std::nullopt}))
                break;
        }
    }
    return Finish(std::move(page), writer.HasLast(), {}, CountryCurrency(country));
}

// ---- json ----

std::optional<Cell> ScalarCell(const QJsonValue& value)
{
    if (value.isString())
        return Cell{value.toString().toStdString(), std::nullopt};
    if (value.isDouble())
        return Cell{{}, value.toDouble()};
    if (value.isBool())
        return Cell{value.toBool() ? "true" : "false", std::nullopt};
    return std::nullopt;
}

// A scalar as it stands; an array gives its first element that is not null.
std::optional<Cell> JsonCell(const QJsonValue& value)
{
    if (value.isArray()) {
        const QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i)
            if (!array.at(i).isNull())
                return ScalarCell(array.at(i));
        return std::nullopt;
    }
    return ScalarCell(value);
}

QuoteExtraction ExtractJson(const QuoteSourceDefinition& source, const std::string& body, std::time_t now,
                            const std::string& country)
{
    if (auto refused = RefuseNonData(body))
        return *refused;
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(body), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Failure(QuoteExtraction::Status::BadAnswer,
                       "the answer is not valid JSON (" + JsonErrorPlace(body, parseError.offset) + ": " +
                           parseError.errorString().toStdString() + ")");
    const QJsonValue root = document.isObject() ? QJsonValue(document.object()) : QJsonValue(document.array());

    std::string answerZone;
    if (!source.quoteTime.exchangeZonePath.empty())
        if (const std::optional<Cell> cell = JsonCell(FollowJsonPath(root, source.quoteTime.exchangeZonePath)))
            answerZone = cell->text;

    ParsedQuotePage page;
    const TimeReader readTime(source.quoteTime, now, ExchangeZoneFor(source.quoteTime, answerZone, country));
    page.exchangeZone = readTime.ExchangeZone();
    FieldWriter writer(page, readTime, {});
    for (const QuoteFieldRules& field : source.fields)
        for (const QuoteFieldRule& rule : field.rules) {
            const std::optional<Cell> cell = JsonCell(FollowJsonPath(root, rule.path));
            if (cell && writer.Write(field.name, *cell))
                break;
        }

    if (!source.seriesTimesPath.empty() && !source.seriesPricesPath.empty()) {
        const QJsonArray times = FollowJsonPath(root, source.seriesTimesPath).toArray();
        const QJsonArray prices = FollowJsonPath(root, source.seriesPricesPath).toArray();
        const qsizetype count = std::min(times.size(), prices.size());
        for (qsizetype i = 0; i < count; ++i) {
            const std::optional<Cell> time = ScalarCell(times.at(i));
            const QJsonValue price = prices.at(i);
            if (!time || !price.isDouble() || !std::isfinite(price.toDouble()))
                continue;
            if (const auto seconds = readTime(*time))
                page.series.push_back({*seconds, price.toDouble()});
        }
    }

    std::string detail;
    if (!writer.HasLast() && !source.errorPath.empty())
        if (const std::optional<Cell> cell = JsonCell(FollowJsonPath(root, source.errorPath)))
            detail = TrimWhitespace(cell->number ? NumberText(*cell->number) : cell->text);
    // A json answer names its currency or leaves it unknown: sources of
    // one format serve funds and indices in other currencies.
    return Finish(std::move(page), writer.HasLast(), detail, {});
}

// ---- the two page layouts read by code ----

// The layouts read the exchange's wall clock straight off the page; the
// pages name no currency, so the country's is the quote's, as for csv.
QuoteExtraction FromLayout(std::optional<ParsedQuotePage> parsed, const std::string& country)
{
    if (!parsed)
        return Failure(QuoteExtraction::Status::NoData, kNoQuoteError);
    if (const ExchangeCountry* entry = FindExchangeCountry(country)) {
        parsed->exchangeZone = entry->zone;
        parsed->quote.currency = entry->currency;
    }
    return Success(std::move(*parsed));
}

}  // namespace

QuoteExtraction ExtractQuote(const QuoteSourceDefinition& source, const std::string& body, std::time_t now,
                             const std::string& country)
{
    try {
        switch (source.format) {
        case QuoteSourceFormat::MsnPage:
            return FromLayout(ParseMsnQuotePage(body, now), country);
        case QuoteSourceFormat::CnnPage:
            return FromLayout(ParseCnnQuotePage(body), country);
        case QuoteSourceFormat::Page:
            return ExtractPage(source, body, now, country);
        case QuoteSourceFormat::Csv:
            return ExtractCsv(source, body, now, country);
        case QuoteSourceFormat::Json:
            return ExtractJson(source, body, now, country);
        }
    } catch (const std::exception& error) {
        // The page layout refuses a trade time it cannot represent.
        return Failure(QuoteExtraction::Status::BadAnswer, std::string("the answer cannot be read: ") + error.what());
    }
    return Failure(QuoteExtraction::Status::BadAnswer, "unknown answer format");
}

#include "quote/QuoteSourceDefinition.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <set>
#include <string_view>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QString>

#include "base/CText.h"
#include "quote/ExchangeZones.h"
#include "quote/JsonTextPlace.h"
#include "quote/QuoteSourceBase.h"

namespace {

// Rules nest through "alternative"; a deeper chain is surely a mistake.
constexpr int kMaxRuleDepth = 8;
constexpr int kMaxCount = 10'000;
constexpr int kMaxColumn = 10'000;
constexpr int kMaxMinInterval = 86'400;

std::string Text(const QString& text)
{
    return text.toStdString();
}

QString QText(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// Thrown inside this file only, caught by ParseQuoteSources: one invalid
// item ends the reading, and the message names where it is.
struct DefinitionError {
    std::string where;  // "fields.last", "url", ...
    std::string reason;
};

[[noreturn]] void Fail(const std::string& where, const std::string& reason)
{
    throw DefinitionError{where, reason};
}

std::string Join(const std::string& where, const std::string& key)
{
    return where.empty() ? key : where + "." + key;
}

void CheckKeys(const QJsonObject& object, const std::string& where, std::initializer_list<const char*> allowed)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        const std::string key = Text(it.key());
        if (std::none_of(allowed.begin(), allowed.end(), [&key](const char* name) { return key == name; }))
            Fail(where, "unknown key " + Quoted(key));
    }
}

QJsonObject ObjectAt(const QJsonValue& value, const std::string& where)
{
    if (!value.isObject())
        Fail(where, "must be an object");
    return value.toObject();
}

std::string StringAt(const QJsonValue& value, const std::string& where)
{
    if (!value.isString())
        Fail(where, "must be a text");
    return Text(value.toString());
}

std::string OptionalString(const QJsonObject& object, const char* key, const std::string& where)
{
    return object.contains(QLatin1String(key)) ? StringAt(object.value(QLatin1String(key)), Join(where, key))
                                               : std::string();
}

int IntAt(const QJsonValue& value, const std::string& where, int minimum, int maximum)
{
    const double number = value.toDouble();
    if (!value.isDouble() || std::floor(number) != number || number < minimum || number > maximum)
        Fail(where, FormatC("must be a whole number from %d to %d", minimum, maximum));
    return static_cast<int>(number);
}

bool BoolAt(const QJsonValue& value, const std::string& where)
{
    if (!value.isBool())
        Fail(where, "must be true or false");
    return value.toBool();
}

bool HasControlByte(const std::string& text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

// A dotted path of non-empty keys and indices.
std::string PathAt(const QJsonValue& value, const std::string& where)
{
    const std::string path = StringAt(value, where);
    if (path.empty() || path.front() == '.' || path.back() == '.' || path.find("..") != std::string::npos)
        Fail(where, "path " + Quoted(path) + " has an empty step");
    return path;
}

const std::pair<const char*, QuoteSourceFormat> kFormats[] = {
    {"page", QuoteSourceFormat::Page},        {"csv", QuoteSourceFormat::Csv},
    {"json", QuoteSourceFormat::Json},        {"msn-page", QuoteSourceFormat::MsnPage},
    {"cnn-page", QuoteSourceFormat::CnnPage},
};

const std::pair<const char*, SymbolMapping::Case> kCases[] = {
    {"keep", SymbolMapping::Case::Keep},
    {"upper", SymbolMapping::Case::Upper},
    {"lower", SymbolMapping::Case::Lower},
};

const std::pair<const char*, QuoteTimeRule::Kind> kTimeKinds[] = {
    {"epoch-seconds", QuoteTimeRule::Kind::EpochSeconds},
    {"epoch-milliseconds", QuoteTimeRule::Kind::EpochMilliseconds},
    {"pattern", QuoteTimeRule::Kind::Pattern},
};

template <typename T, size_t N>
T EnumAt(const QJsonValue& value, const std::string& where, const std::pair<const char*, T> (&names)[N])
{
    const std::string text = StringAt(value, where);
    std::string choices;
    for (const auto& [name, item] : names) {
        if (text == name)
            return item;
        choices += (choices.empty() ? "" : ", ") + std::string(name);
    }
    Fail(where, Quoted(text) + " is not one of " + choices);
}

template <typename T, size_t N>
const char* EnumName(T item, const std::pair<const char*, T> (&names)[N])
{
    for (const auto& [name, value] : names)
        if (value == item)
            return name;
    return names[0].first;
}

bool IsHttpUrlStart(const std::string& url)
{
    const std::string lower = ToLowerAscii(url.substr(0, 8));
    return lower.starts_with("http://") || lower.starts_with("https://");
}

void CheckUrlTemplate(const std::string& url, const std::string& where, bool history = false)
{
    if (url.empty())
        Fail(where, "is empty");
    if (HasControlByte(url))
        Fail(where, "holds a control character");
    size_t start = 0;
    for (size_t open = url.find('{'); open != std::string::npos; open = url.find('{', start)) {
        const size_t close = url.find('}', open);
        if (close == std::string::npos)
            Fail(where, "unclosed '{'");
        const std::string name = url.substr(open + 1, close - open - 1);
        const bool historyName = name == "range" || name == "interval" || name == "from" || name == "to";
        if (name != "base" && name != "symbol" && name != "country" && !(history && historyName))
            Fail(where, "unknown placeholder {" + name + "} (use {base}, {symbol}, {country}" +
                            (history ? ", {range}, {interval}, {from}, {to})" : ")"));
        start = close + 1;
    }
    if (!url.starts_with("{base}") && !IsHttpUrlStart(url))
        Fail(where, "only http and https may be fetched: the URL must start with {base}, http:// or https://");
}

bool ValidId(const std::string& id)
{
    return !id.empty() && id.size() <= 64 && std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
               c == '_' || c == '.';
    });
}

bool ValidHeaderName(const std::string& name)
{
    static constexpr std::string_view kSeparators = "()<>@,;:\\\"/[]?={} \t";
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte > 0x20 && byte < 0x7F && kSeparators.find(c) == std::string_view::npos;
    });
}

class SourceReader {
public:
    explicit SourceReader(QuoteSourceDefinition& source) : m_source(source) {}

    void Read(const QJsonObject& object)
    {
        // The id first, so that every later message can name the source.
        m_source.id = StringAt(object.value(QLatin1String("id")), "id");
        if (!ValidId(m_source.id))
            Fail("id", Quoted(m_source.id) + " is not a usable id (1 to 64 letters, digits, '-', '_', '.')");
        CheckKeys(object, "", {"id", "name", "url", "base", "hostSetting", "format", "headers", "minInterval",
                               "symbols", "quoteTime", "csv", "fields", "series", "errorPath", "history",
                               "fx"});
        m_source.displayName = OptionalString(object, "name", "");
        if (m_source.displayName.empty())
            m_source.displayName = m_source.id;
        if (!object.contains(QLatin1String("url")))
            Fail("url", "is missing");
        m_source.urlTemplate = StringAt(object.value(QLatin1String("url")), "url");
        CheckUrlTemplate(m_source.urlTemplate, "url");
        ReadBase(object);
        m_source.hostSetting = OptionalString(object, "hostSetting", "");
        if (HasControlByte(m_source.hostSetting))
            Fail("hostSetting", "holds a control character");
        if (!object.contains(QLatin1String("format")))
            Fail("format", "is missing");
        m_source.format = EnumAt(object.value(QLatin1String("format")), "format", kFormats);
        ReadHeaders(object);
        m_source.fxTemplate = OptionalString(object, "fx", "");
        if (!m_source.fxTemplate.empty() && (m_source.fxTemplate.find("{from}") == std::string::npos ||
                                             m_source.fxTemplate.find("{to}") == std::string::npos))
            Fail("fx", "must name both {from} and {to}");
        if (HasControlByte(m_source.fxTemplate))
            Fail("fx", "holds a control character");
        if (object.contains(QLatin1String("minInterval")))
            m_source.minIntervalSeconds =
                IntAt(object.value(QLatin1String("minInterval")), "minInterval", 0, kMaxMinInterval);
        if (object.contains(QLatin1String("symbols")))
            ReadSymbols(ObjectAt(object.value(QLatin1String("symbols")), "symbols"));
        if (object.contains(QLatin1String("quoteTime")))
            ReadQuoteTime(ObjectAt(object.value(QLatin1String("quoteTime")), "quoteTime"));
        ReadFormatParts(object);
        if (object.contains(QLatin1String("history")))
            ReadHistory(ObjectAt(object.value(QLatin1String("history")), "history"));
    }

private:
    void ReadBase(const QJsonObject& object)
    {
        const std::string base = OptionalString(object, "base", "");
        if (!base.empty()) {
            if (base.find("://") == std::string::npos)
                Fail("base", Quoted(base) + " must name the scheme (http:// or https://)");
            std::string error;
            if (!NormalizeSourceBase(base, "", m_source.defaultBase, error))
                Fail("base", error);
        }
        if (m_source.urlTemplate.find("{base}") != std::string::npos && m_source.defaultBase.empty())
            Fail("base", "is missing, and the URL uses {base}");
    }

    void ReadHeaders(const QJsonObject& object)
    {
        if (object.contains(QLatin1String("headers"))) {
            const QJsonObject headers = ObjectAt(object.value(QLatin1String("headers")), "headers");
            std::set<std::string> seen;
            for (auto it = headers.begin(); it != headers.end(); ++it) {
                const std::string name = Text(it.key());
                const std::string where = Join("headers", name);
                if (!ValidHeaderName(name))
                    Fail(where, Quoted(name) + " is not a header name");
                if (!seen.insert(ToLowerAscii(name)).second)
                    Fail(where, "given twice");
                const std::string value = StringAt(it.value(), where);
                // A line break would let the value smuggle further headers into the request.
                if (HasControlByte(value))
                    Fail(where, "holds a control character");
                m_source.headers.emplace_back(name, value);
            }
        }
        if (HeaderValue(m_source, "User-Agent").empty())
            Fail("headers", "a User-Agent is required");
    }

    void ReadSymbols(const QJsonObject& symbols)
    {
        CheckKeys(symbols, "symbols", {"case", "countries"});
        if (symbols.contains(QLatin1String("case")))
            m_source.symbols.letterCase = EnumAt(symbols.value(QLatin1String("case")), "symbols.case", kCases);
        if (!symbols.contains(QLatin1String("countries")))
            return;
        const QJsonObject countries = ObjectAt(symbols.value(QLatin1String("countries")), "symbols.countries");
        std::set<std::string> seen;
        for (auto it = countries.begin(); it != countries.end(); ++it) {
            const std::string code = Text(it.key());
            const std::string where = Join("symbols.countries", code);
            if (!seen.insert(ToUpperAscii(code)).second)
                Fail(where, "given twice");
            const QJsonObject affixObject = ObjectAt(it.value(), where);
            CheckKeys(affixObject, where, {"prefix", "suffix"});
            SymbolAffix affix{OptionalString(affixObject, "prefix", where), OptionalString(affixObject, "suffix", where)};
            m_source.symbols.countries.emplace_back(code, std::move(affix));
        }
    }

    void ReadQuoteTime(const QJsonObject& time)
    {
        CheckKeys(time, "quoteTime", {"kind", "pattern", "zone", "exchangeZone"});
        QuoteTimeRule& rule = m_source.quoteTime;
        if (!time.contains(QLatin1String("kind")))
            Fail("quoteTime.kind", "is missing");
        rule.kind = EnumAt(time.value(QLatin1String("kind")), "quoteTime.kind", kTimeKinds);
        rule.pattern = OptionalString(time, "pattern", "quoteTime");
        rule.zone = OptionalString(time, "zone", "quoteTime");
        if (time.contains(QLatin1String("exchangeZone"))) {
            if (m_source.format != QuoteSourceFormat::Json)
                Fail("quoteTime.exchangeZone", "is a path into a json answer; other formats take the zone "
                                               "from the security's country");
            rule.exchangeZonePath = PathAt(time.value(QLatin1String("exchangeZone")), "quoteTime.exchangeZone");
        }
        // A zone id the zone database holds: Qt also makes a valid zone of a
        // rule such as "XYZ5", which the exchange's clock does not take.
        if (!rule.zone.empty() && !IsKnownZone(rule.zone))
            Fail("quoteTime.zone", Quoted(rule.zone) + " is not a known time zone");
        if (rule.kind != QuoteTimeRule::Kind::Pattern) {
            if (time.contains(QLatin1String("pattern")))
                Fail("quoteTime.pattern", "belongs to the kind \"pattern\" only");
            if (time.contains(QLatin1String("zone")) && rule.zone.empty())
                Fail("quoteTime.zone", "is empty (leave it out, or name an IANA zone such as \"America/New_York\")");
            return;
        }
        if (rule.pattern.empty())
            Fail("quoteTime.pattern", "is missing");
        if (std::count(rule.pattern.begin(), rule.pattern.end(), '\'') % 2 != 0)
            Fail("quoteTime.pattern", "has an unclosed quote");
        // The zone comes from "zone"; a zone letter in the pattern would compete with it.
        if (PatternLetters(rule.pattern).find('t') != std::string::npos)
            Fail("quoteTime.pattern", "must not hold the zone letter 't'; name the zone in \"zone\"");
        if (rule.zone.empty())
            Fail("quoteTime.zone", "is missing (an IANA zone such as \"America/New_York\")");
    }

    void ReadFormatParts(const QJsonObject& object)
    {
        const bool csv = m_source.format == QuoteSourceFormat::Csv;
        const bool json = m_source.format == QuoteSourceFormat::Json;
        if (object.contains(QLatin1String("csv"))) {
            if (!csv)
                Fail("csv", "belongs to the csv format only");
            ReadCsvOptions(ObjectAt(object.value(QLatin1String("csv")), "csv"));
        }
        for (const char* key : {"series", "errorPath"})
            if (object.contains(QLatin1String(key)) && !json)
                Fail(key, "belongs to the json format only");
        if (object.contains(QLatin1String("series"))) {
            const QJsonObject series = ObjectAt(object.value(QLatin1String("series")), "series");
            CheckKeys(series, "series", {"times", "prices"});
            m_source.seriesTimesPath = PathAt(series.value(QLatin1String("times")), "series.times");
            m_source.seriesPricesPath = PathAt(series.value(QLatin1String("prices")), "series.prices");
        }
        if (object.contains(QLatin1String("errorPath")))
            m_source.errorPath = PathAt(object.value(QLatin1String("errorPath")), "errorPath");

        if (IsCodeLayout(m_source.format)) {
            if (object.contains(QLatin1String("fields")))
                Fail("fields", std::string("the ") + QuoteSourceFormatName(m_source.format) +
                                   " layout is read by code and takes no fields");
            return;
        }
        if (!object.contains(QLatin1String("fields")))
            Fail("fields", "are missing");
        const QJsonObject fields = ObjectAt(object.value(QLatin1String("fields")), "fields");
        const auto& names = QuoteSourceFieldNames();
        for (auto it = fields.begin(); it != fields.end(); ++it) {
            const std::string name = Text(it.key());
            const std::string where = Join("fields", name);
            if (std::find(names.begin(), names.end(), name) == names.end())
                Fail("fields", "unknown field " + Quoted(name));
            QuoteFieldRules field{name, {}};
            if (it.value().isArray()) {
                const QJsonArray rules = it.value().toArray();
                if (rules.isEmpty())
                    Fail(where, "has no rule");
                for (qsizetype i = 0; i < rules.size(); ++i)
                    field.rules.push_back(ReadRule(rules.at(i), Join(where, std::to_string(i)), 0));
            } else {
                field.rules.push_back(ReadRule(it.value(), where, 0));
            }
            m_source.fields.push_back(std::move(field));
        }
        if (std::none_of(m_source.fields.begin(), m_source.fields.end(),
                         [](const QuoteFieldRules& field) { return field.name == "last"; }))
            Fail("fields.last", "is missing; without a last price there is no quote");
    }

    void ReadCsvOptions(const QJsonObject& options)
    {
        CheckKeys(options, "csv", {"delimiter", "decimal", "header", "noValue"});
        CsvOptions& csv = m_source.csv;
        if (options.contains(QLatin1String("delimiter"))) {
            const std::string delimiter = StringAt(options.value(QLatin1String("delimiter")), "csv.delimiter");
            if (delimiter.size() != 1 || delimiter == "\"" || delimiter == "\n" || delimiter == "\r")
                Fail("csv.delimiter", "must be one character other than a quote or a line break");
            csv.delimiter = delimiter[0];
        }
        if (options.contains(QLatin1String("decimal"))) {
            const std::string decimal = StringAt(options.value(QLatin1String("decimal")), "csv.decimal");
            if (decimal != "." && decimal != ",")
                Fail("csv.decimal", "must be \".\" or \",\"");
            csv.decimal = decimal[0];
        }
        if (csv.decimal == csv.delimiter)
            Fail("csv.decimal", "must differ from the delimiter");
        if (options.contains(QLatin1String("header")))
            csv.header = BoolAt(options.value(QLatin1String("header")), "csv.header");
        if (options.contains(QLatin1String("noValue"))) {
            const QJsonValue value = options.value(QLatin1String("noValue"));
            if (!value.isArray())
                Fail("csv.noValue", "must be a list of texts");
            csv.noValue.clear();
            const QJsonArray tokens = value.toArray();
            for (qsizetype i = 0; i < tokens.size(); ++i)
                csv.noValue.push_back(StringAt(tokens.at(i), Join("csv.noValue", std::to_string(i))));
        }
    }

    void ReadHistory(const QJsonObject& section)
    {
        const bool json = m_source.format == QuoteSourceFormat::Json;
        if (!json && m_source.format != QuoteSourceFormat::Csv)
            Fail("history", "belongs to the json and csv formats only");
        CheckKeys(section, "history", {"url", "dates", "intraday", "bars", "splits", "dividends"});
        HistoryRule& rule = m_source.history;
        if (!section.contains(QLatin1String("url")))
            Fail("history.url", "is missing");
        rule.urlTemplate = StringAt(section.value(QLatin1String("url")), "history.url");
        CheckUrlTemplate(rule.urlTemplate, "history.url", true);
        if (rule.urlTemplate.find("{base}") != std::string::npos && m_source.defaultBase.empty())
            Fail("history.url", "uses {base}, and the source has no base");
        const bool from = rule.urlTemplate.find("{from}") != std::string::npos;
        const bool to = rule.urlTemplate.find("{to}") != std::string::npos;
        if (from != to)
            Fail("history.url", "{from} and {to} go together");
        if (from && rule.urlTemplate.find("{range}") != std::string::npos)
            Fail("history.url", "takes either {range} or {from} and {to}");
        if (section.contains(QLatin1String("dates"))) {
            rule.dates = StringAt(section.value(QLatin1String("dates")), "history.dates");
            if (rule.dates.empty())
                Fail("history.dates", "is empty (\"epoch-seconds\" or a pattern such as \"yyyy-MM-dd\")");
            if (rule.dates != "epoch-seconds") {
                const std::string letters = PatternLetters(rule.dates);
                if (letters.find('y') == std::string::npos || letters.find('M') == std::string::npos ||
                    letters.find('d') == std::string::npos)
                    Fail("history.dates", "a pattern needs the year, month and day (yyyy, MM, dd)");
                if (std::count(rule.dates.begin(), rule.dates.end(), '\'') % 2 != 0)
                    Fail("history.dates", "has an unclosed quote");
            }
        }
        if (section.contains(QLatin1String("intraday")))
            rule.intraday = BoolAt(section.value(QLatin1String("intraday")), "history.intraday");
        if (rule.intraday && rule.urlTemplate.find("{interval}") == std::string::npos)
            Fail("history.intraday", "intraday bars need {interval} in the URL");
        if (!section.contains(QLatin1String("bars")))
            Fail("history.bars", "are missing");
        const QJsonObject bars = ObjectAt(section.value(QLatin1String("bars")), "history.bars");
        CheckKeys(bars, "history.bars", {"time", "open", "high", "low", "close", "volume", "adjclose"});
        const std::pair<const char*, std::string*> places[] = {
            {"time", &rule.time},   {"open", &rule.open},     {"high", &rule.high},         {"low", &rule.low},
            {"close", &rule.close}, {"volume", &rule.volume}, {"adjclose", &rule.adjclose},
        };
        for (const auto& [key, place] : places) {
            if (!bars.contains(QLatin1String(key)))
                continue;
            const std::string where = Join("history.bars", key);
            *place = json ? PathAt(bars.value(QLatin1String(key)), where) : StringAt(bars.value(QLatin1String(key)), where);
            if (place->empty())
                Fail(where, "is empty");
            if (!json && !m_source.csv.header)
                Fail(where, "history columns are named by the header; csv.header must be true");
        }
        if (rule.time.empty())
            Fail("history.bars.time", "is missing");
        if (rule.close.empty())
            Fail("history.bars.close", "is missing");
        for (const char* key : {"splits", "dividends"}) {
            if (!section.contains(QLatin1String(key)))
                continue;
            if (!json)
                Fail(Join("history", key), "belongs to the json format only");
            (key[0] == 's' ? rule.splitsPath : rule.dividendsPath) =
                PathAt(section.value(QLatin1String(key)), Join("history", key));
        }
    }

    QuoteFieldRule ReadRule(const QJsonValue& value, const std::string& where, int depth)
    {
        switch (m_source.format) {
        case QuoteSourceFormat::Page:
            return ReadPageRule(value, where, depth);
        case QuoteSourceFormat::Csv:
            return ReadCsvRule(value, where);
        default: {
            QuoteFieldRule rule;
            rule.path = PathAt(value, where);
            return rule;
        }
        }
    }

    QuoteFieldRule ReadPageRule(const QJsonValue& value, const std::string& where, int depth)
    {
        if (depth >= kMaxRuleDepth)
            Fail(where, "alternatives nest too deeply");
        const QJsonObject object = ObjectAt(value, where);
        CheckKeys(object, where,
                  {"before", "marker", "terminator", "count", "stripThousands", "longerThan", "alternative"});
        QuoteFieldRule rule;
        rule.before = OptionalString(object, "before", where);
        rule.marker = OptionalString(object, "marker", where);
        rule.terminator = OptionalString(object, "terminator", where);
        if (rule.marker.empty())
            Fail(Join(where, "marker"), "is missing");
        if (rule.terminator.empty())
            Fail(Join(where, "terminator"), "is missing");
        if (object.contains(QLatin1String("count")))
            rule.count = IntAt(object.value(QLatin1String("count")), Join(where, "count"), 1, kMaxCount);
        if (object.contains(QLatin1String("stripThousands")))
            rule.stripThousands = BoolAt(object.value(QLatin1String("stripThousands")), Join(where, "stripThousands"));
        if (object.contains(QLatin1String("longerThan")))
            rule.longerThan = IntAt(object.value(QLatin1String("longerThan")), Join(where, "longerThan"), 1, 1'000'000);
        if (object.contains(QLatin1String("alternative")) != (rule.longerThan > 0))
            Fail(where, "longerThan and alternative go together");
        if (rule.longerThan > 0)
            rule.alternative.push_back(
                ReadPageRule(object.value(QLatin1String("alternative")), Join(where, "alternative"), depth + 1));
        return rule;
    }

    QuoteFieldRule ReadCsvRule(const QJsonValue& value, const std::string& where)
    {
        QuoteFieldRule rule;
        auto addColumn = [&](const QJsonValue& column, const std::string& at) {
            if (column.isString()) {
                if (!m_source.csv.header)
                    Fail(at, "a column name needs csv.header true; give the column number instead");
                if (rule.columnNumbers)
                    Fail(at, "names and numbers of columns cannot be mixed");
                rule.columns.push_back(Text(column.toString()));
            } else if (column.isDouble()) {
                if (!rule.columns.empty() && !rule.columnNumbers)
                    Fail(at, "names and numbers of columns cannot be mixed");
                rule.columnNumbers = true;
                rule.columns.push_back(std::to_string(IntAt(column, at, 1, kMaxColumn)));
            } else {
                Fail(at, "must be a column name or a column number from 1");
            }
        };
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            CheckKeys(object, where, {"columns"});
            const QJsonValue columns = object.value(QLatin1String("columns"));
            if (!columns.isArray() || columns.toArray().isEmpty())
                Fail(Join(where, "columns"), "must be a list of column names or numbers");
            const QJsonArray list = columns.toArray();
            for (qsizetype i = 0; i < list.size(); ++i)
                addColumn(list.at(i), Join(Join(where, "columns"), std::to_string(i)));
        } else {
            addColumn(value, where);
        }
        return rule;
    }

    QuoteSourceDefinition& m_source;
};

QJsonValue RuleToJson(const QuoteSourceDefinition& source, const QuoteFieldRule& rule)
{
    switch (source.format) {
    case QuoteSourceFormat::Page: {
        QJsonObject object;
        if (!rule.before.empty())
            object.insert(QLatin1String("before"), QText(rule.before));
        object.insert(QLatin1String("marker"), QText(rule.marker));
        object.insert(QLatin1String("terminator"), QText(rule.terminator));
        if (rule.count != 1)
            object.insert(QLatin1String("count"), rule.count);
        if (rule.stripThousands)
            object.insert(QLatin1String("stripThousands"), true);
        if (rule.longerThan > 0 && !rule.alternative.empty()) {
            object.insert(QLatin1String("longerThan"), rule.longerThan);
            object.insert(QLatin1String("alternative"), RuleToJson(source, rule.alternative.front()));
        }
        return object;
    }
    case QuoteSourceFormat::Csv: {
        auto column = [&rule](const std::string& text) {
            return rule.columnNumbers ? QJsonValue(CAtoi(text)) : QJsonValue(QText(text));
        };
        if (rule.columns.size() == 1)
            return column(rule.columns.front());
        QJsonArray columns;
        for (const std::string& text : rule.columns)
            columns.append(column(text));
        return QJsonObject{{QLatin1String("columns"), columns}};
    }
    default:
        return QText(rule.path);
    }
}

QJsonObject SourceToJson(const QuoteSourceDefinition& source)
{
    QJsonObject object;
    object.insert(QLatin1String("id"), QText(source.id));
    object.insert(QLatin1String("name"), QText(source.displayName));
    object.insert(QLatin1String("url"), QText(source.urlTemplate));
    if (!source.defaultBase.empty())
        object.insert(QLatin1String("base"), QText(source.defaultBase));
    if (!source.hostSetting.empty())
        object.insert(QLatin1String("hostSetting"), QText(source.hostSetting));
    object.insert(QLatin1String("format"), QLatin1String(QuoteSourceFormatName(source.format)));
    QJsonObject headers;
    for (const auto& [name, value] : source.headers)
        headers.insert(QText(name), QText(value));
    object.insert(QLatin1String("headers"), headers);
    if (source.minIntervalSeconds != 0)
        object.insert(QLatin1String("minInterval"), source.minIntervalSeconds);
    if (!source.fxTemplate.empty())
        object.insert(QLatin1String("fx"), QText(source.fxTemplate));

    if (source.symbols != SymbolMapping{}) {
        QJsonObject symbols;
        symbols.insert(QLatin1String("case"), QLatin1String(EnumName(source.symbols.letterCase, kCases)));
        QJsonObject countries;
        for (const auto& [code, affix] : source.symbols.countries) {
            QJsonObject affixObject;
            if (!affix.prefix.empty())
                affixObject.insert(QLatin1String("prefix"), QText(affix.prefix));
            if (!affix.suffix.empty())
                affixObject.insert(QLatin1String("suffix"), QText(affix.suffix));
            countries.insert(QText(code), affixObject);
        }
        if (!countries.isEmpty())
            symbols.insert(QLatin1String("countries"), countries);
        object.insert(QLatin1String("symbols"), symbols);
    }
    if (source.quoteTime != QuoteTimeRule{}) {
        QJsonObject time;
        time.insert(QLatin1String("kind"), QLatin1String(EnumName(source.quoteTime.kind, kTimeKinds)));
        if (source.quoteTime.kind == QuoteTimeRule::Kind::Pattern)
            time.insert(QLatin1String("pattern"), QText(source.quoteTime.pattern));
        if (!source.quoteTime.zone.empty())
            time.insert(QLatin1String("zone"), QText(source.quoteTime.zone));
        if (!source.quoteTime.exchangeZonePath.empty())
            time.insert(QLatin1String("exchangeZone"), QText(source.quoteTime.exchangeZonePath));
        object.insert(QLatin1String("quoteTime"), time);
    }
    if (source.format == QuoteSourceFormat::Csv && source.csv != CsvOptions{}) {
        QJsonObject csv;
        csv.insert(QLatin1String("delimiter"), QText(std::string(1, source.csv.delimiter)));
        csv.insert(QLatin1String("decimal"), QText(std::string(1, source.csv.decimal)));
        csv.insert(QLatin1String("header"), source.csv.header);
        QJsonArray noValue;
        for (const std::string& token : source.csv.noValue)
            noValue.append(QText(token));
        csv.insert(QLatin1String("noValue"), noValue);
        object.insert(QLatin1String("csv"), csv);
    }
    if (!IsCodeLayout(source.format)) {
        QJsonObject fields;
        for (const QuoteFieldRules& field : source.fields) {
            if (field.rules.size() == 1) {
                fields.insert(QText(field.name), RuleToJson(source, field.rules.front()));
            } else {
                QJsonArray rules;
                for (const QuoteFieldRule& rule : field.rules)
                    rules.append(RuleToJson(source, rule));
                fields.insert(QText(field.name), rules);
            }
        }
        object.insert(QLatin1String("fields"), fields);
    }
    if (source.format == QuoteSourceFormat::Json) {
        if (!source.seriesTimesPath.empty() || !source.seriesPricesPath.empty())
            object.insert(QLatin1String("series"), QJsonObject{{QLatin1String("times"), QText(source.seriesTimesPath)},
                                                               {QLatin1String("prices"), QText(source.seriesPricesPath)}});
        if (!source.errorPath.empty())
            object.insert(QLatin1String("errorPath"), QText(source.errorPath));
    }
    if (source.history.Present()) {
        const HistoryRule& rule = source.history;
        QJsonObject history;
        history.insert(QLatin1String("url"), QText(rule.urlTemplate));
        history.insert(QLatin1String("dates"), QText(rule.dates));
        history.insert(QLatin1String("intraday"), rule.intraday);
        QJsonObject bars;
        const std::pair<const char*, const std::string*> places[] = {
            {"time", &rule.time},   {"open", &rule.open},     {"high", &rule.high},         {"low", &rule.low},
            {"close", &rule.close}, {"volume", &rule.volume}, {"adjclose", &rule.adjclose},
        };
        for (const auto& [key, place] : places)
            if (!place->empty())
                bars.insert(QLatin1String(key), QText(*place));
        history.insert(QLatin1String("bars"), bars);
        if (!rule.splitsPath.empty())
            history.insert(QLatin1String("splits"), QText(rule.splitsPath));
        if (!rule.dividendsPath.empty())
            history.insert(QLatin1String("dividends"), QText(rule.dividendsPath));
        object.insert(QLatin1String("history"), history);
    }
    return object;
}

}  // namespace

const char* QuoteSourceFormatName(QuoteSourceFormat format)
{
    return EnumName(format, kFormats);
}

bool IsCodeLayout(QuoteSourceFormat format)
{
    return format == QuoteSourceFormat::MsnPage || format == QuoteSourceFormat::CnnPage;
}

std::string PatternLetters(const std::string& pattern)
{
    std::string letters;
    bool quoted = false;
    for (char c : pattern) {
        if (c == '\'')
            quoted = !quoted;
        else if (!quoted)
            letters += c;
    }
    return letters;
}

const std::vector<std::string>& QuoteSourceFieldNames()
{
    static const std::vector<std::string> names = {
        "delayMinutes", "last", "dayHigh", "dayLow", "open", "prevClose", "bid", "ask", "week52High", "week52Low",
        "peRatio", "earningsPerShare", "dividendPerShare", "dividendYield", "forwardPE", "returnOnEquity", "beta",
        "change", "volume", "avgVolume", "institutionalOwnership", "marketCap", "totalShares", "exchange", "sales",
        "currency", "quoteTime", "company",
    };
    return names;
}

std::string HeaderValue(const QuoteSourceDefinition& source, const std::string& name)
{
    for (const auto& [header, value] : source.headers)
        if (EqualsIgnoringAsciiCase(header, name))
            return value;
    return {};
}

const QuoteSourceDefinition* FindQuoteSource(const std::vector<QuoteSourceDefinition>& sources, const std::string& id)
{
    const auto it = std::find_if(sources.begin(), sources.end(),
                                 [&id](const QuoteSourceDefinition& source) { return source.id == id; });
    return it == sources.end() ? nullptr : &*it;
}

QuoteSourceList ParseQuoteSources(const std::string& json, const std::string& fileName)
{
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return {{}, fileName + ": " + JsonErrorPlace(json, parseError.offset) + ": " +
                        Text(parseError.errorString())};
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || !root.value(QLatin1String("sources")).isArray())
        return {{}, fileName + ": the document must be an object with a \"sources\" list"};
    for (auto it = root.begin(); it != root.end(); ++it)
        if (it.key() != QLatin1String("sources"))
            return {{}, fileName + ": unknown key " + Quoted(Text(it.key())) + " (the document holds \"sources\")"};

    QuoteSourceList result;
    const QJsonArray list = root.value(QLatin1String("sources")).toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        QuoteSourceDefinition source;
        try {
            SourceReader(source).Read(ObjectAt(list.at(i), ""));
        } catch (const DefinitionError& error) {
            const std::string who = ValidId(source.id) ? "source " + Quoted(source.id)
                                                       : "source number " + std::to_string(i + 1);
            return {{}, fileName + ": " + who + ": " + (error.where.empty() ? "" : error.where + ": ") + error.reason};
        }
        if (FindQuoteSource(result.sources, source.id))
            return {{}, fileName + ": source " + Quoted(source.id) + " is defined twice"};
        result.sources.push_back(std::move(source));
    }
    return result;
}

std::string QuoteSourcesToJson(const std::vector<QuoteSourceDefinition>& sources)
{
    QJsonArray list;
    for (const QuoteSourceDefinition& source : sources)
        list.append(SourceToJson(source));
    return QJsonDocument(QJsonObject{{QLatin1String("sources"), list}}).toJson(QJsonDocument::Indented).toStdString();
}

std::string FxSymbol(const QuoteSourceDefinition& source, const std::string& from, const std::string& to)
{
    if (source.fxTemplate.empty())
        return {};
    std::string symbol = source.fxTemplate;
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"{from}", from}, {"{to}", to}}) {
        for (auto at = symbol.find(name); at != std::string::npos; at = symbol.find(name, at + value.size()))
            symbol.replace(at, name.size(), value);
    }
    return symbol;
}

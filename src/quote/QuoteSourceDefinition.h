#pragma once

#include <string>
#include <utility>
#include <vector>

// A quote source as data: where to ask, how to name the symbol, and how to
// read the answer. Definitions are JSON documents of this shape:
//
//   {"sources": [{
//     "id": "quote-csv",                 required; letters, digits, '-', '_', '.'
//     "name": "Quote CSV",               shown to the user; defaults to the id
//     "url": "{base}/q/l/?s={symbol}",   placeholders {base}, {symbol}, {country}
//     "base": "https://stooq.com",       scheme://host[:port]; needed when url uses {base}
//     "hostSetting": "QuoteHosts/X",     optional older settings key for the base
//     "format": "csv",                   page | csv | json | msn-page | cnn-page
//     "headers": {"User-Agent": "..."},  request headers; User-Agent required
//     "minInterval": 2,                  seconds between two requests, default 0
//     "symbols": {"case": "lower",       keep | upper | lower (the symbol only)
//                 "countries": {"US": {"prefix": "", "suffix": ".us"}}},
//     "quoteTime": {"kind": "pattern",   epoch-seconds | epoch-milliseconds | pattern
//                   "pattern": "yyyy-MM-dd HH:mm:ss", "zone": "Europe/Warsaw",
//                   "exchangeZone": "path"},   json only: where the answer names the zone
//     "csv": {"delimiter": ",", "decimal": ".", "header": true, "noValue": ["N/D", "-", ""]},
//     "fields": {"last": ..., "company": ...},
//     "series": {"times": "path", "prices": "path"},   json only
//     "errorPath": "chart.error.description",          json only
//     "history": {...}                                  optional; see HistoryRule
//     "fx": "{from}{to}=X"               how a currency pair is written as a
//                                        symbol (then mapped as one without a
//                                        country); absent: no exchange rates
//   }]}
//
// Field names are the QuoteRecord member names plus "company". A quote
// without a "currency" value takes its country's currency (ExchangeZones.h)
// in page and csv answers; json answers give it or leave it unknown. A field's
// value is one rule or an array of rules, the first that yields a value
// winning. A rule is, by format:
//   page: {"before": "", "marker": "...", "terminator": "...", "count": 1,
//          "stripThousands": false, "longerThan": 5, "alternative": {rule}}
//         (ExtractField's arguments; a text longer than longerThan characters
//         is cut again with the alternative rule);
//   csv:  a header name ("Close"), a 1-based column number (5), or
//         {"columns": ["Date", "Time"]} whose cells are joined by one space;
//   json: a dotted path ("chart.result.0.meta.regularMarketPrice"), numbers
//         indexing arrays. A path ending at an array takes its first
//         element that is not null.
// msn-page and cnn-page are the two historical page layouts read by code;
// they take no fields, csv options, series or error path.
// Every key is checked: an unknown key or field name is an error naming it.

enum class QuoteSourceFormat { Page, Csv, Json, MsnPage, CnnPage };

// The cut of one field; which members apply depends on the format.
struct QuoteFieldRule {
    // page: ExtractField's arguments and the options.
    std::string before;
    std::string marker;
    std::string terminator;
    int count = 1;
    bool stripThousands = false;
    int longerThan = 0;                      // 0: no alternative
    std::vector<QuoteFieldRule> alternative;  // exactly one when longerThan > 0
    // csv: header names, or 1-based column numbers written as decimal text
    // (columnNumbers tells which), joined by one space.
    std::vector<std::string> columns;
    bool columnNumbers = false;
    // json: the dotted path.
    std::string path;

    bool operator==(const QuoteFieldRule&) const = default;
};

// A field and its rules, tried in order.
struct QuoteFieldRules {
    std::string name;
    std::vector<QuoteFieldRule> rules;

    bool operator==(const QuoteFieldRules&) const = default;
};

// Text put around a symbol for one country code; "{country}" in either
// stands for the code.
struct SymbolAffix {
    std::string prefix;
    std::string suffix;

    bool operator==(const SymbolAffix&) const = default;
};

// How the user's symbol is written for the source. countries maps a country
// code (matched without regard to ASCII case) to its affix; the key "*"
// covers any other non-empty code, the key "" a security without a country.
// A code without an entry leaves the symbol as it is (case aside).
struct SymbolMapping {
    enum class Case { Keep, Upper, Lower };
    Case letterCase = Case::Keep;
    std::vector<std::pair<std::string, SymbolAffix>> countries;

    bool operator==(const SymbolMapping&) const = default;
};

// How a quote time (and a series time) is read: a number of seconds or
// milliseconds since the epoch, or a text in a QDateTime pattern ("yyyy-MM-dd
// HH:mm:ss") on the wall clock of an IANA zone. A pattern without a date
// takes the date that `now` has in that zone; two-digit years ("yy") are
// 1969-1999 from 69 to 99 and 2000-2068 from 00 to 68.
//
// The instant read is then stored on the clock of the security's exchange
// (QuoteRecord::quoteTime). That exchange's zone is, first found wins:
//   - the text at exchangeZonePath in a json answer, when it names a known zone;
//   - for epoch kinds, `zone` (a source that serves one exchange);
//   - the zone of the security's country (ExchangeZones.h);
//   - for patterns, `zone`, the clock the source writes in;
//   - else this machine's own clock (the instant is kept as it is).
struct QuoteTimeRule {
    enum class Kind { EpochSeconds, EpochMilliseconds, Pattern };
    Kind kind = Kind::EpochSeconds;
    std::string pattern;
    std::string zone;              // pattern: the clock the text is on; epoch: the exchange's zone
    std::string exchangeZonePath;  // json: a dotted path to the exchange's IANA zone

    bool operator==(const QuoteTimeRule&) const = default;
};

struct CsvOptions {
    char delimiter = ',';
    char decimal = '.';  // '.' or ','
    bool header = true;  // the first line names the columns; the data is the next line
    std::vector<std::string> noValue = {"N/D", "-", ""};  // compared after trimming

    bool operator==(const CsvOptions&) const = default;
};

// Where a source's price history is and how its bars are read:
//
//   "history": {
//     "url": "{base}/v8/finance/chart/{symbol}?range={range}&interval={interval}",
//                          besides {base}, {symbol} and {country}: {range} and
//                          {interval} (1d, 5d, 1mo ... and 1m, 5m, 1d, 1wk ...),
//                          or {from} and {to} written as "dates" says
//     "dates": "epoch-seconds" or a QDateTime pattern ("yyyy-MM-dd"): how {from}
//                          and {to} are written and how a text time is read
//     "intraday": true,    the source has intraday bars ({interval} below a day)
//     "bars": {"time": ..., "open": ..., "high": ..., "low": ..., "close": ...,
//              "volume": ..., "adjclose": ...}   json paths to arrays or csv
//                          column names; time and close are required
//     "splits": "path", "dividends": "path"     json: objects of events keyed
//                          by time, each {"date", "numerator", "denominator"}
//                          or {"date", "amount"}
//   }
// A time that is a number is seconds since the epoch; a text is read with
// "dates" on the exchange's calendar. Without {range} or {from}, the answer
// is taken to hold the whole history and is cut to the range asked for.
struct HistoryRule {
    std::string urlTemplate;  // empty: the source gives no history
    std::string dates = "epoch-seconds";
    bool intraday = false;
    std::string time, open, high, low, close, volume, adjclose;
    std::string splitsPath;
    std::string dividendsPath;

    bool Present() const { return !urlTemplate.empty(); }
    bool operator==(const HistoryRule&) const = default;
};

struct QuoteSourceDefinition {
    std::string id;
    std::string displayName;
    std::string urlTemplate;
    std::string defaultBase;    // "scheme://host[:port]", or empty
    std::string hostSetting;    // an older settings key that may hold the base
    QuoteSourceFormat format = QuoteSourceFormat::Json;
    std::vector<std::pair<std::string, std::string>> headers;  // name, value
    int minIntervalSeconds = 0;
    SymbolMapping symbols;
    QuoteTimeRule quoteTime;
    CsvOptions csv;
    std::vector<QuoteFieldRules> fields;
    std::string seriesTimesPath;
    std::string seriesPricesPath;
    std::string errorPath;
    HistoryRule history;
    std::string fxTemplate;  // "{from}{to}=X"; empty when the source gives no rates

    bool operator==(const QuoteSourceDefinition&) const = default;
};

// The outcome of reading a definition document.
struct QuoteSourceList {
    std::vector<QuoteSourceDefinition> sources;
    std::string error;  // empty on success, else one message; then sources is empty
};

// Reads a definition document. fileName only names the document in
// messages: malformed JSON gives "<fileName>: line L, column C: <reason>";
// invalid content gives "<fileName>: source \"<id>\": <key or field>: <reason>"
// (or the source's position in the list when it has no usable id). Two
// sources with one id are an error. Never throws.
QuoteSourceList ParseQuoteSources(const std::string& json, const std::string& fileName);

// The document of the given definitions, in the form ParseQuoteSources
// reads back to equal definitions.
std::string QuoteSourcesToJson(const std::vector<QuoteSourceDefinition>& sources);

// The value of a request header by name (ASCII case ignored), empty when
// the definition has none.
std::string HeaderValue(const QuoteSourceDefinition& source, const std::string& name);

// The symbol of a currency pair ("GBPEUR=X") before the symbol mapping;
// empty when the source gives no exchange rates.
std::string FxSymbol(const QuoteSourceDefinition& source, const std::string& from, const std::string& to);

// The definition with that id, or nullptr.
const QuoteSourceDefinition* FindQuoteSource(const std::vector<QuoteSourceDefinition>& sources,
                                             const std::string& id);

// The format's name as definitions write it ("page", "msn-page", ...).
const char* QuoteSourceFormatName(QuoteSourceFormat format);

// msn-page and cnn-page: the page layouts read by code, which take no fields.
bool IsCodeLayout(QuoteSourceFormat format);

// The letters of a QDateTime pattern outside its quoted literals.
std::string PatternLetters(const std::string& pattern);

// The field names a definition may use: every QuoteRecord member and "company".
const std::vector<std::string>& QuoteSourceFieldNames();

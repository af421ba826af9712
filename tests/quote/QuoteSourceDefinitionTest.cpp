#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "quote/CnnQuotePage.h"
#include "quote/MsnQuotePage.h"
#include "quote/QuoteSourceCatalog.h"
#include "quote/QuoteSourceDefinition.h"
#include "quote/QuoteSourceUrl.h"
#include "support/TestEnvironment.h"

namespace {

// A document of one source: the given members after a valid id and User-Agent.
std::string OneSource(const std::string& members)
{
    return R"({"sources": [{"id": "mine", "headers": {"User-Agent": "t"}, )" + members + "}]}";
}

const std::string kJsonSource =
    R"("url": "https://h/q?s={symbol}", "format": "json", "fields": {"last": "a.b"})";

std::string ErrorOf(const std::string& json)
{
    return ParseQuoteSources(json, "user.json").error;
}

std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QuoteSourceDefinition Builtin(const std::string& id)
{
    const QuoteSourceCatalog catalog = LoadQuoteSourceCatalog("");
    const QuoteSourceDefinition* source = FindQuoteSource(catalog.sources, id);
    return source ? *source : QuoteSourceDefinition{};
}

}  // namespace

TEST(QuoteSourceDefinition, BuiltinsLoadWithTheirFixedIdsAndSurviveASaveRoundTrip)
{
    const QuoteSourceCatalog catalog = LoadQuoteSourceCatalog("");
    ASSERT_EQ(catalog.error, "");
    std::vector<std::string> ids;
    for (const auto& source : catalog.sources)
        ids.push_back(source.id);
    EXPECT_EQ(ids, (std::vector<std::string>{"msn-money", "cnn-money", "chart-json", "quote-csv"}));
    EXPECT_EQ(Builtin("msn-money").hostSetting, "QuoteHosts/MsnMoney");
    EXPECT_EQ(Builtin("cnn-money").hostSetting, "QuoteHosts/CnnMoney");
    EXPECT_NE(HeaderValue(Builtin("chart-json"), "user-agent").find("Mozilla/5.0"), std::string::npos);

    const QuoteSourceList again = ParseQuoteSources(QuoteSourcesToJson(catalog.sources), "saved.json");
    EXPECT_EQ(again.error, "");
    EXPECT_EQ(again.sources, catalog.sources);
}

TEST(QuoteSourceDefinition, MalformedJsonNamesFileLineAndColumn)
{
    const std::string error = ErrorOf("{\n  \"sources\": [\n    {\"id\": \"x\",, }\n  ]\n}\n");
    EXPECT_EQ(error.rfind("user.json: line 3, column 16: ", 0), 0u) << error;
    // Columns count characters, not bytes.
    EXPECT_EQ(ErrorOf("{\"n\u00e9\u00e9\": ]").rfind("user.json: line 1, column 9: ", 0), 0u)
        << ErrorOf("{\"n\u00e9\u00e9\": ]");
}

TEST(QuoteSourceDefinition, InvalidContentNamesTheSourceAndTheField)
{
    const std::pair<std::string, std::string> cases[] = {
        {R"({"sources": {}})", "user.json: the document must be an object with a \"sources\" list"},
        {R"({"sources": [], "colour": 1})", "user.json: unknown key \"colour\" (the document holds \"sources\")"},
        {R"({"sources": [{"url": "https://h/"}]})", "user.json: source number 1: id: must be a text"},
        {OneSource(R"("url": "https://h/q", "format": "json", "fields": {"last": "a", "lastPrice": "b"})"),
         "user.json: source \"mine\": fields: unknown field \"lastPrice\""},
        {OneSource(kJsonSource + R"(, "colour": "red")"), "user.json: source \"mine\": unknown key \"colour\""},
        {OneSource(R"("url": "ftp://h/{symbol}", "format": "json", "fields": {"last": "a"})"),
         "user.json: source \"mine\": url: only http and https may be fetched: the URL must start with {base}, "
         "http:// or https://"},
        {OneSource(R"("url": "{base}/{sym}", "base": "https://h", "format": "json", "fields": {"last": "a"})"),
         "user.json: source \"mine\": url: unknown placeholder {sym} (use {base}, {symbol}, {country})"},
        {OneSource(R"("url": "{base}/x", "format": "json", "fields": {"last": "a"})"),
         "user.json: source \"mine\": base: is missing, and the URL uses {base}"},
        {OneSource(R"("url": "https://h/", "format": "xml", "fields": {"last": "a"})"),
         "user.json: source \"mine\": format: \"xml\" is not one of page, csv, json, msn-page, cnn-page"},
        {OneSource(R"("url": "https://h/", "format": "json", "fields": {"open": "a"})"),
         "user.json: source \"mine\": fields.last: is missing; without a last price there is no quote"},
        {OneSource(kJsonSource + R"(, "quoteTime": {"kind": "pattern", "pattern": "HH:mm", "zone": "Mars/Olympus"})"),
         "user.json: source \"mine\": quoteTime.zone: \"Mars/Olympus\" is not a known time zone"},
        {OneSource(R"("url": "https://h/", "format": "csv", "csv": {"header": false}, "fields": {"last": "Close"})"),
         "user.json: source \"mine\": fields.last: a column name needs csv.header true; give the column number "
         "instead"},
        {OneSource(R"("url": "https://h/", "format": "page", "fields": {"last": {"marker": "<b>"}})"),
         "user.json: source \"mine\": fields.last.terminator: is missing"},
        {OneSource(kJsonSource + R"(, "minInterval": 1.5)"),
         "user.json: source \"mine\": minInterval: must be a whole number from 0 to 86400"},
        {R"({"sources": [{"id": "mine", "headers": {"Accept": "x"}, )" + kJsonSource + "}]}",
         "user.json: source \"mine\": headers: a User-Agent is required"},
        {R"({"sources": [{"id": "mine", "headers": {"User-Agent": "a\r\nX-Evil: 1"}, )" + kJsonSource + "}]}",
         "user.json: source \"mine\": headers.User-Agent: holds a control character"},
        {R"({"sources": [{"id": "mine", "headers": {"User-Agent": "t"}, )" + kJsonSource +
             R"(}, {"id": "mine", "headers": {"User-Agent": "t"}, )" + kJsonSource + "}]}",
         "user.json: source \"mine\" is defined twice"},
    };
    for (const auto& [json, expected] : cases) {
        const QuoteSourceList list = ParseQuoteSources(json, "user.json");
        EXPECT_EQ(list.error, expected) << json;
        EXPECT_TRUE(list.sources.empty());
    }
}

TEST(QuoteSourceDefinition, TheExchangeZoneAndTheCurrencyAreReadCheckedAndSaved)
{
    const QuoteSourceDefinition chart = Builtin("chart-json");
    EXPECT_EQ(chart.quoteTime.exchangeZonePath, "chart.result.0.meta.exchangeTimezoneName");
    ASSERT_NE(std::find_if(chart.fields.begin(), chart.fields.end(),
                           [](const QuoteFieldRules& field) { return field.name == "currency"; }),
              chart.fields.end());

    // An epoch time may name the exchange's zone; saving keeps it and the path.
    const QuoteSourceList fixed = ParseQuoteSources(
        OneSource(kJsonSource + R"(, "quoteTime": {"kind": "epoch-seconds", "zone": "Europe/Paris",
                                                  "exchangeZone": "meta.tz"})"),
        "user.json");
    ASSERT_EQ(fixed.error, "");
    EXPECT_EQ(fixed.sources.front().quoteTime.zone, "Europe/Paris");
    EXPECT_EQ(fixed.sources.front().quoteTime.exchangeZonePath, "meta.tz");
    EXPECT_EQ(ParseQuoteSources(QuoteSourcesToJson(fixed.sources), "saved.json").sources, fixed.sources);

    const std::pair<std::string, std::string> cases[] = {
        {OneSource(kJsonSource + R"(, "quoteTime": {"kind": "epoch-seconds", "zone": "Mars/Olympus"})"),
         "user.json: source \"mine\": quoteTime.zone: \"Mars/Olympus\" is not a known time zone"},
        {OneSource(kJsonSource + R"(, "quoteTime": {"kind": "epoch-seconds", "pattern": "HH:mm"})"),
         "user.json: source \"mine\": quoteTime.pattern: belongs to the kind \"pattern\" only"},
        {OneSource(kJsonSource + R"(, "quoteTime": {"kind": "epoch-seconds", "exchangeZone": "a..b"})"),
         "user.json: source \"mine\": quoteTime.exchangeZone: path \"a..b\" has an empty step"},
        {OneSource(R"("url": "https://h/", "format": "csv", "fields": {"last": "Close"},
                      "quoteTime": {"kind": "epoch-seconds", "exchangeZone": "Zone"})"),
         "user.json: source \"mine\": quoteTime.exchangeZone: is a path into a json answer; other formats take "
         "the zone from the security's country"},
    };
    for (const auto& [json, expected] : cases)
        EXPECT_EQ(ErrorOf(json), expected) << json;
}

TEST(QuoteSourceDefinition, AZoneIsAZoneIdNotARuleOfOffsets)
{
    // "XYZ5" would make a zone of its own (five hours behind UTC), which the
    // exchange's clock would then ignore.
    for (const char* kind : {"epoch-seconds", "pattern"}) {
        const std::string pattern = std::string(kind) == "pattern" ? R"("pattern": "HH:mm", )" : "";
        EXPECT_EQ(ErrorOf(OneSource(kJsonSource + R"(, "quoteTime": {"kind": ")" + kind + "\", " + pattern +
                                    R"("zone": "XYZ5"})")),
                  "user.json: source \"mine\": quoteTime.zone: \"XYZ5\" is not a known time zone")
            << kind;
    }
}

TEST(QuoteSourceDefinition, ACurrencyPairIsWrittenAsTheDefinitionSays)
{
    EXPECT_EQ(FxSymbol(Builtin("chart-json"), "GBP", "EUR"), "GBPEUR=X");
    EXPECT_EQ(FxSymbol(Builtin("quote-csv"), "GBP", "EUR"), "GBPEUR");  // lower-cased by its mapping
    EXPECT_EQ(FxSymbol(Builtin("msn-money"), "GBP", "EUR"), "");

    const QuoteSourceList mine = ParseQuoteSources(OneSource(kJsonSource + R"(, "fx": "{to}-{from}")"), "user.json");
    ASSERT_EQ(mine.error, "");
    EXPECT_EQ(FxSymbol(mine.sources.front(), "USD", "CAD"), "CAD-USD");
    EXPECT_EQ(ParseQuoteSources(QuoteSourcesToJson(mine.sources), "saved.json").sources, mine.sources);
    EXPECT_EQ(ErrorOf(OneSource(kJsonSource + R"(, "fx": "{from}X")")),
              "user.json: source \"mine\": fx: must name both {from} and {to}");
}

TEST(QuoteSourceCatalog, UserFileOverridesBuiltinsByIdAndAddsSources)
{
    const testing_support::TempDir dir;
    const auto file = dir.write("quote-sources.json",
                                R"({"sources": [
      {"id": "new-one", "headers": {"User-Agent": "t"}, "url": "https://n/{symbol}", "format": "json",
       "fields": {"last": "p"}},
      {"id": "chart-json", "name": "Mine", "headers": {"User-Agent": "t"}, "url": "http://c/{symbol}",
       "format": "json", "fields": {"last": "price"}}]})");
    const QuoteSourceCatalog catalog = LoadQuoteSourceCatalog(file.string());
    ASSERT_EQ(catalog.error, "");
    ASSERT_EQ(catalog.sources.size(), 5u);
    EXPECT_EQ(catalog.sources[2].id, "chart-json");
    EXPECT_EQ(catalog.sources[2].displayName, "Mine");
    EXPECT_EQ(catalog.sources[4].id, "new-one");
    EXPECT_EQ(catalog.sources[3], Builtin("quote-csv"));

    // A missing file is no error; a broken one is one message, and the built-ins stay.
    EXPECT_EQ(LoadQuoteSourceCatalog((dir.path() / "absent.json").string()).error, "");
    const auto broken = dir.write("broken.json", "{\"sources\": [\n  {\"id\": \"x\"\n");
    const QuoteSourceCatalog fallback = LoadQuoteSourceCatalog(broken.string());
    EXPECT_EQ(fallback.error.rfind(broken.string() + ": line 2, column 13: ", 0), 0u) << fallback.error;
    EXPECT_EQ(fallback.sources, LoadQuoteSourceCatalog("").sources);
    EXPECT_EQ(ReadAll(broken), "{\"sources\": [\n  {\"id\": \"x\"\n");
}

TEST(QuoteSourceCatalog, SaveIsAtomicAndKeepsThePreviousFileAsBackup)
{
    const testing_support::TempDir dir;
    const auto file = dir.path() / "quote-sources.json";
    std::vector<QuoteSourceDefinition> sources{Builtin("quote-csv")};
    ASSERT_EQ(SaveQuoteSources(file.string(), sources), "");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "quote-sources.json.bak"));
    const std::string first = ReadAll(file);

    sources.push_back(Builtin("chart-json"));
    ASSERT_EQ(SaveQuoteSources(file.string(), sources), "");
    EXPECT_EQ(ReadAll(dir.path() / "quote-sources.json.bak"), first);
    EXPECT_EQ(ParseQuoteSources(ReadAll(file), "f").sources, sources);

    // A folder that does not exist: nothing written, a message naming the file.
    const auto nowhere = (dir.path() / "missing" / "quote-sources.json").string();
    EXPECT_EQ(SaveQuoteSources(nowhere, sources).rfind(nowhere + ": cannot be written", 0), 0u);
}

TEST(QuoteSourceUrl, PageLayoutsBuildTheSameUrlsAsBefore)
{
    const QuoteSourceDefinition msn = Builtin("msn-money");
    const QuoteSourceDefinition cnn = Builtin("cnn-money");
    const std::pair<std::string, std::string> securities[] = {{"", "MSFT"}, {"CA", "RY"}, {"C A", "A&B=1#x"},
                                                              {"US", "RDS-A:L_X*~^[]"}, {"GB", "{country}"}};
    for (const auto& [country, symbol] : securities) {
        EXPECT_EQ(BuildSourceUrl(msn, "", symbol, country).url,
                  BuildMsnQuoteUrl(kMsnMoneyDefaultHost, country, symbol));
        EXPECT_EQ(BuildSourceUrl(msn, "127.0.0.1:8642", symbol, country).url,
                  BuildMsnQuoteUrl("127.0.0.1:8642", country, symbol));
        EXPECT_EQ(BuildSourceUrl(cnn, " money.cnn.com ", symbol, country).url,
                  BuildCnnQuoteUrl(kCnnMoneyDefaultHost, symbol));
    }
}

TEST(QuoteSourceUrl, SymbolsAreMappedPerCountryAndEscaped)
{
    EXPECT_EQ(BuildSourceUrl(Builtin("chart-json"), "", "RY", "CA").url,
              "https://query1.finance.yahoo.com/v8/finance/chart/RY.TO?range=1d&interval=1m");
    EXPECT_EQ(BuildSourceUrl(Builtin("chart-json"), "", "IBM", "US").url,
              "https://query1.finance.yahoo.com/v8/finance/chart/IBM?range=1d&interval=1m");
    EXPECT_EQ(BuildSourceUrl(Builtin("quote-csv"), "", "BP", "gb").url,
              "https://stooq.com/q/l/?s=bp.uk&f=sd2t2ohlcvn&h&e=csv");

    QuoteSourceDefinition source = Builtin("chart-json");
    source.urlTemplate = "{base}/{symbol}/{country}";
    EXPECT_EQ(BuildSourceUrl(source, "http://127.0.0.1:9/", "A B&{base}", "C#").url,
              "http://127.0.0.1:9/A%20B%26%7Bbase%7D/C%23");
    // A host:port override keeps the default's scheme.
    EXPECT_EQ(BuildSourceUrl(source, "mirror:8443", "X", "").url, "https://mirror:8443/X/");
}

TEST(QuoteSourceUrl, OtherSchemesAndUnusableHostsAreRefusedNamingTheSource)
{
    QuoteSourceDefinition source = Builtin("chart-json");
    EXPECT_EQ(BuildSourceUrl(source, "ftp://h:21", "X", "").error,
              "quote source \"chart-json\": \"ftp://h:21\": only http and https may be fetched");
    for (const char* host : {"h/path", "h:99999", "user@h", "h:", "a b"}) {
        const SourceUrl url = BuildSourceUrl(source, host, "X", "");
        EXPECT_EQ(url.url, "");
        EXPECT_EQ(url.error.rfind("quote source \"chart-json\": \"", 0), 0u) << url.error;
    }
    source.urlTemplate = "file:///etc/{symbol}";
    EXPECT_EQ(BuildSourceUrl(source, "", "passwd", "").error,
              "quote source \"chart-json\": only http and https may be fetched, not \"file:///etc/passwd\"");
}

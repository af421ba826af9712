// Reading a csv answer by a definition whose options the input chooses.
// Input: delimiter, decimal separator ('.' or ','), header ('1' or '0'),
// then the answer's bytes. The country's currency fills in a currency the
// answer does not give, and nothing else.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "base/CText.h"
#include "quote/QuoteSourceDefinition.h"
#include "quote/QuoteSourceFormats.h"

namespace {

QuoteSourceDefinition CsvSource(char delimiter, char decimal, bool header)
{
    QuoteSourceDefinition source;
    source.id = "fuzz-csv";
    source.format = QuoteSourceFormat::Csv;
    source.csv.delimiter = delimiter;
    source.csv.decimal = decimal;
    source.csv.header = header;
    source.quoteTime = {QuoteTimeRule::Kind::Pattern, "yyyy-MM-dd HH:mm:ss", "Europe/Warsaw", {}};
    auto column = [header](const char* name, const char* number) {
        QuoteFieldRule rule;
        rule.columns = {header ? name : number};
        rule.columnNumbers = !header;
        return rule;
    };
    QuoteFieldRule time;
    time.columns = header ? std::vector<std::string>{"Date", "Time"} : std::vector<std::string>{"2", "3"};
    time.columnNumbers = !header;
    source.fields = {
        {"last", {column("Close", "7"), column("Last", "4")}},
        {"prevClose", {column("Prev", "8")}},
        {"volume", {column("Volume", "9")}},
        {"delayMinutes", {column("Delay", "10")}},
        {"company", {column("Name", "1")}},
        {"currency", {column("Currency", "11")}},
        {"quoteTime", {time}},
    };
    return source;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const char delimiter = static_cast<char>(data[0]);
    const char decimal = data[1] == ',' ? ',' : '.';
    const bool header = data[2] != '0';
    if (delimiter == decimal || delimiter == '"' || delimiter == '\n' || delimiter == '\r')
        return 0;
    const std::string body(reinterpret_cast<const char*>(data) + 3, size - 3);

    const QuoteSourceDefinition source = CsvSource(delimiter, decimal, header);
    const QuoteExtraction result = ExtractQuote(source, body, 1'700'000'000, "CA");
    const QuoteExtraction withoutCountry = ExtractQuote(source, body, 1'700'000'000, "");
    FUZZ_CHECK(result.status == withoutCountry.status);
    if (result.ok()) {
        const std::string& own = withoutCountry.quote->quote.currency;
        FUZZ_CHECK(result.quote->quote.currency == (own.empty() ? std::string("CAD") : own));
    }
    FUZZ_CHECK(result.ok() == (result.status == QuoteExtraction::Status::Quote));
    FUZZ_CHECK(result.ok() == result.error.empty());
    if (TrimWhitespace(body).starts_with("<"))
        FUZZ_CHECK(result.error == "the source answered with a web page instead of quote data");
    if (result.ok()) {
        const QuoteRecord& q = result.quote->quote;
        FUZZ_CHECK(std::isfinite(q.last) && std::isfinite(q.prevClose));
        FUZZ_CHECK(result.quote->series.empty());
        // A computed change is the difference to the previous close.
        if (q.prevClose != 0)
            FUZZ_CHECK(q.change == FormatC("%+.2f (%+.2f%%)", q.last - q.prevClose,
                                           100 * (q.last - q.prevClose) / q.prevClose));
    }
    return 0;
}

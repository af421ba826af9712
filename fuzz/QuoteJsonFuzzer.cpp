// Reading a json answer by the chart-json definition, and by the same
// definition with times in milliseconds and its fields read from arrays.
// Input: the answer's bytes.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "base/CText.h"
#include "quote/QuoteSourceCatalog.h"
#include "quote/QuoteSourceFormats.h"

namespace {

void CheckResult(const QuoteExtraction& result, const std::string& body)
{
    FUZZ_CHECK(result.ok() == (result.status == QuoteExtraction::Status::Quote));
    FUZZ_CHECK(result.ok() == result.error.empty());
    if (TrimWhitespace(body).starts_with("<"))
        FUZZ_CHECK(result.error == "the source answered with a web page instead of quote data");
    if (!result.ok())
        return;
    FUZZ_CHECK(std::isfinite(result.quote->quote.last));
    for (const IntradayPoint& point : result.quote->series)
        FUZZ_CHECK(std::isfinite(point.price));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QuoteSourceDefinition chart = *FindQuoteSource(LoadQuoteSourceCatalog("").sources, "chart-json");
    static const QuoteSourceDefinition variant = [] {
        QuoteSourceDefinition source = chart;
        source.quoteTime.kind = QuoteTimeRule::Kind::EpochMilliseconds;
        auto path = [](const char* text) {
            QuoteFieldRule rule;
            rule.path = text;
            return rule;
        };
        source.fields.push_back({"delayMinutes", {path("0.1")}});
        source.fields.push_back({"change", {path("chart.change")}});
        source.seriesTimesPath = "t";
        source.seriesPricesPath = "p.0";
        return source;
    }();
    const std::string body(reinterpret_cast<const char*>(data), size);
    CheckResult(ExtractQuote(chart, body, 1'700'000'000, "US"), body);
    CheckResult(ExtractQuote(variant, body, 1'700'000'000, "GB"), body);
    return 0;
}

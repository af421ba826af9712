// Reading a json answer by the chart-json definition, and by the same
// definition with times in milliseconds and its fields read from arrays.
// Input: the answer's bytes.
//
// The exchange's zone the answer names (quoteTime.exchangeZone) moves the
// quote time and the series by that zone's offset only, against the same
// definition without it; the currency is the answer's, never the country's.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>

#include <QByteArray>
#include <QDateTime>
#include <QTimeZone>

#include "FuzzSupport.h"
#include "base/CText.h"
#include "quote/ExchangeZones.h"
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

long LocalOffset(std::int64_t value)
{
    const std::time_t seconds = static_cast<std::time_t>(value);
    std::tm parts{};
    return localtime_r(&seconds, &parts) ? parts.tm_gmtoff : 0;
}

// Quote-clock values this far from the epoch are left out of the offset check.
constexpr std::int64_t kRange = 200LL * 365 * 86400;

// `onClock` is `instant` on the zone's wall clock: both read as UTC they
// differ by nothing but the zone's offset, unless this machine's own clock
// changes that day (a wall-clock time it skips cannot be stored).
void CheckMovedByOffset(std::int64_t instant, std::int64_t onClock, const QTimeZone& zone)
{
    if (instant < -kRange || instant > kRange)
        return;
    const int offset = zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(instant), Qt::UTC));
    if (onClock + LocalOffset(onClock) == instant + offset)
        return;
    FUZZ_CHECK(LocalOffset(onClock - 86400) != LocalOffset(onClock + 86400));
}

// The chart read with the answer's exchange zone against the same reading
// on this machine's clock (the definition without the zone's path).
void CheckExchangeClock(const QuoteExtraction& zoned, const QuoteExtraction& plain)
{
    FUZZ_CHECK(zoned.status == plain.status);
    if (!zoned.ok())
        return;
    const std::string& zoneName = zoned.quote->exchangeZone;
    FUZZ_CHECK(plain.quote->exchangeZone.empty());
    FUZZ_CHECK(zoneName.empty() || IsKnownZone(zoneName));
    const QuoteRecord& a = zoned.quote->quote;
    const QuoteRecord& b = plain.quote->quote;
    FUZZ_CHECK(a.currency == b.currency);
    if (zoneName.empty()) {
        FUZZ_CHECK(a.quoteTime == b.quoteTime);
        FUZZ_CHECK(zoned.quote->series == plain.quote->series);
        return;
    }
    const QTimeZone zone(QByteArray::fromStdString(zoneName));
    FUZZ_CHECK(zone.isValid());
    if (b.quoteTime == 0) {
        FUZZ_CHECK(a.quoteTime == 0);
    } else if (a.quoteTime != 0) {
        CheckMovedByOffset(b.quoteTime, a.quoteTime, zone);
    }
    const auto& series = zoned.quote->series;
    const auto& instants = plain.quote->series;
    FUZZ_CHECK(series.size() <= instants.size());
    if (series.size() != instants.size())
        return;
    for (std::size_t i = 0; i < series.size(); ++i) {
        FUZZ_CHECK(series[i].price == instants[i].price);
        CheckMovedByOffset(instants[i].time, series[i].time, zone);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::PinTimeZone();
    return 0;
}

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
    static const QuoteSourceDefinition localClock = [] {
        QuoteSourceDefinition source = chart;
        source.quoteTime.exchangeZonePath.clear();
        return source;
    }();
    const std::string body(reinterpret_cast<const char*>(data), size);
    const QuoteExtraction us = ExtractQuote(chart, body, 1'700'000'000, "US");
    CheckResult(us, body);
    CheckResult(ExtractQuote(variant, body, 1'700'000'000, "GB"), body);
    // Without a country the answer's zone is the only one there is.
    const QuoteExtraction zoned = ExtractQuote(chart, body, 1'700'000'000, "");
    CheckExchangeClock(zoned, ExtractQuote(localClock, body, 1'700'000'000, ""));
    // A json answer's currency is its own, whatever the country's.
    FUZZ_CHECK(us.ok() == zoned.ok());
    if (us.ok())
        FUZZ_CHECK(us.quote->quote.currency == zoned.quote->quote.currency);
    return 0;
}

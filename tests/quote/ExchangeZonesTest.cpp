#include <cstdint>
#include <ctime>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "marketdata/CountryTable.h"
#include "quote/ExchangeZones.h"
#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"

TEST(ExchangeZones, EveryCountryOfFindQuoteWorldwideHasAKnownZoneAndACurrency)
{
    for (const CountryEntry& country : CountryTable()) {
        SCOPED_TRACE(country.code);
        const ExchangeCountry* entry = FindExchangeCountry(country.code);
        ASSERT_NE(entry, nullptr);
        EXPECT_TRUE(IsKnownZone(entry->zone));
        EXPECT_EQ(std::string(entry->currency).size(), 3u);
    }
    EXPECT_EQ(ExchangeCountries().size(), CountryTable().size());
}

TEST(ExchangeZones, CountriesAreFoundIgnoringCaseAndBlanks)
{
    ASSERT_NE(FindExchangeCountry(" gb "), nullptr);
    EXPECT_EQ(std::string(FindExchangeCountry(" gb ")->zone), "Europe/London");
    EXPECT_EQ(std::string(FindExchangeCountry("GB")->currency), "GBp");
    EXPECT_EQ(std::string(FindExchangeCountry("US")->zone), "America/New_York");
    EXPECT_EQ(std::string(FindExchangeCountry("CA")->currency), "CAD");
    EXPECT_EQ(FindExchangeCountry(""), nullptr);
    EXPECT_EQ(FindExchangeCountry("LSE"), nullptr);
    EXPECT_EQ(FindExchangeCountry("G"), nullptr);
}

TEST(ExchangeZones, AnInstantBecomesTheExchangesWallClockAsLocalTime)
{
    // 7 December 2026, 14:31 UTC.
    const std::int64_t instant = 1796653860;
    EXPECT_EQ(ExchangeWallClock(instant, "America/New_York"), MakeQuoteTime(2026, 12, 7, 9, 31, 0, -1));
    EXPECT_EQ(ExchangeWallClock(instant, "Asia/Tokyo"), MakeQuoteTime(2026, 12, 7, 23, 31, 0, -1));
    // An empty or unknown zone: this machine's clock, so the instant stays.
    EXPECT_EQ(ExchangeWallClock(instant, ""), instant);
    EXPECT_EQ(ExchangeWallClock(instant, "Nowhere/Atlantis"), instant);
    EXPECT_EQ(TrueInstant(instant, "Nowhere/Atlantis"), instant);
    EXPECT_FALSE(IsKnownZone("Nowhere/Atlantis"));
    EXPECT_FALSE(IsKnownZone(""));
}

TEST(ExchangeZones, TheTrueInstantComesBackForManyTimesAndZones)
{
    // Every minute stored on the quote clock reads back to its instant,
    // except where this machine's own clock skips or repeats that
    // wall-clock hour (then it may be an hour off, never more).
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<std::int64_t> seconds(0, 4'102'444'800);  // 1970 to 2100
    int exact = 0;
    const int tries = 4000;
    for (const char* zone : {"America/New_York", "Europe/London", "Asia/Tokyo", "Australia/Sydney"}) {
        for (int i = 0; i < tries; ++i) {
            const std::int64_t instant = seconds(random);
            const auto wallClock = ExchangeWallClock(instant, zone);
            ASSERT_TRUE(wallClock.has_value()) << zone << " " << instant;
            const std::int64_t back = TrueInstant(*wallClock, zone);
            ASSERT_LE(std::llabs(back - instant), 3600) << zone << " " << instant;
            exact += back == instant;
        }
    }
    // Clock changes touch a few hours a year.
    EXPECT_GT(exact, 4 * tries * 99 / 100);
}

TEST(ExchangeZones, AWallClockTheZoneRepeatsIsReadAsItsEarlierInstant)
{
    // 01:30 comes twice in London on 30 October 2011: first at 00:30 UTC
    // (summer time), then at 01:30 UTC.
    EXPECT_EQ(TrueInstant(MakeQuoteTime(2011, 10, 30, 1, 30, 0, -1), "Europe/London"), 1319934600);
    // 02:30 comes twice in Sydney on 3 April 2011: first at 15:30 UTC the day before.
    EXPECT_EQ(TrueInstant(MakeQuoteTime(2011, 4, 3, 2, 30, 0, -1), "Australia/Sydney"), 1301758200);
    // Once only, the hour after.
    EXPECT_EQ(TrueInstant(MakeQuoteTime(2011, 10, 30, 2, 30, 0, -1), "Europe/London"), 1319941800);
}

TEST(ExchangeZones, AWallClockTimeTheExchangeSkipsIsReadWithTheOffsetBeforeTheChange)
{
    // 01:30 on 31 March 2024 does not exist in London (01:00 became 02:00):
    // read on winter time, UTC+0, as 01:30 UTC.
    EXPECT_EQ(TrueInstant(MakeQuoteTime(2024, 3, 31, 1, 30, 0, -1), "Europe/London"), 1711848600);
    // 02:30 on 10 March 2024 does not exist in New York: read on EST, UTC-5.
    EXPECT_EQ(TrueInstant(MakeQuoteTime(2024, 3, 10, 2, 30, 0, -1), "America/New_York"), 1710055800);
}

TEST(ExchangeZones, IsoTimeOnTheExchangesClockWithItsOffset)
{
    EXPECT_EQ(IsoTimeInZone(1796653860, "America/New_York"), "2026-12-07T09:31:00-05:00");
    EXPECT_EQ(IsoTimeInZone(1796653860, "Europe/London"), "2026-12-07T14:31:00+00:00");
    EXPECT_EQ(IsoTimeInZone(1796653860, "Asia/Kolkata"), "2026-12-07T20:01:00+05:30");
    const testing_support::ScopedTimeZone utc("UTC0");
    EXPECT_EQ(IsoTimeInZone(1796653860, ""), "2026-12-07T14:31:00+00:00");
}

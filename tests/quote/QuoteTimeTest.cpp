#include <climits>
#include <stdexcept>

#include <gtest/gtest.h>

#include "quote/QuoteTime.h"
#include "support/TestEnvironment.h"

// New York's rules, whatever zone the process runs under.

TEST(MakeQuoteTime, LocalWallClockOfAWinterDay)
{
    const testing_support::ScopedTimeZone zone("America/New_York");
    EXPECT_EQ(MakeQuoteTime(2011, 3, 4, 15, 30, 0, -1), 1299270600);  // 20:30 UTC
    EXPECT_EQ(MakeQuoteTime(2011, 3, 4, 0, 0, 0, -1), 1299214800);    // local midnight
}

TEST(MakeQuoteTime, SummerTimeIsAppliedByTheLibrary)
{
    const testing_support::ScopedTimeZone zone("America/New_York");
    EXPECT_EQ(MakeQuoteTime(2011, 7, 1, 12, 0, 0, -1), 1309536000);  // 16:00 UTC
}

TEST(MakeQuoteTime, AcrossTheSpringForwardChange)
{
    const testing_support::ScopedTimeZone zone("America/New_York");
    const auto lastStandard = MakeQuoteTime(2011, 3, 13, 1, 59, 0, -1);
    const auto firstDaylight = MakeQuoteTime(2011, 3, 13, 3, 0, 0, -1);
    EXPECT_EQ(lastStandard, 1299999540);
    // One wall-clock hour and one minute apart, one minute in real time.
    EXPECT_EQ(firstDaylight - lastStandard, 60);
}

TEST(MakeQuoteTime, DaylightFlagChoosesInTheRepeatedHour)
{
    const testing_support::ScopedTimeZone zone("America/New_York");
    // 01:30 on 6 November 2011 happens twice in New York.
    EXPECT_EQ(MakeQuoteTime(2011, 11, 6, 1, 30, 0, 1), 1320557400);  // EDT
    EXPECT_EQ(MakeQuoteTime(2011, 11, 6, 1, 30, 0, 0), 1320561000);  // EST
}

TEST(MakeQuoteTime, OutOfRangeFieldsAreNormalised)
{
    EXPECT_EQ(MakeQuoteTime(2011, 3, 4, 15, 75, 0, -1), MakeQuoteTime(2011, 3, 4, 16, 15, 0, -1));
    EXPECT_EQ(MakeQuoteTime(2011, 3, 4, 24, 0, 0, -1), MakeQuoteTime(2011, 3, 5, 0, 0, 0, -1));
    EXPECT_EQ(MakeQuoteTime(2011, 13, 1, 0, 0, 0, -1), MakeQuoteTime(2012, 1, 1, 0, 0, 0, -1));
    EXPECT_EQ(MakeQuoteTime(2011, 3, 0, 12, 0, 0, -1), MakeQuoteTime(2011, 2, 28, 12, 0, 0, -1));
}

TEST(MakeQuoteTime, OtherZonesFollowTheirOwnRules)
{
    {
        testing_support::ScopedTimeZone zone("Europe/Berlin");
        const auto before = MakeQuoteTime(2011, 3, 27, 1, 59, 0, -1);
        EXPECT_EQ(before, 1301187540);
        EXPECT_EQ(MakeQuoteTime(2011, 3, 27, 3, 0, 0, -1) - before, 60);
    }
    {
        testing_support::ScopedTimeZone zone("UTC0");
        EXPECT_EQ(MakeQuoteTime(2011, 3, 4, 15, 30, 0, -1), 1299252600);
    }
}

TEST(MakeQuoteTime, OneSecondBeforeTheEpochIsNotAFailure)
{
    testing_support::ScopedTimeZone zone("UTC0");
    EXPECT_EQ(MakeQuoteTime(1969, 12, 31, 23, 59, 59, -1), -1);
}

TEST(MakeQuoteTime, UnrepresentableTimesThrow)
{
    // The carried-over year no longer fits the library's broken-down time.
    EXPECT_THROW(MakeQuoteTime(INT_MAX, INT_MAX, 1, 0, 0, 0, -1), std::invalid_argument);
    // Years whose offset from 1900 cannot even be formed.
    EXPECT_THROW(MakeQuoteTime(INT_MIN, 1, 1, 0, 0, 0, -1), std::invalid_argument);
    EXPECT_THROW(MakeQuoteTime(2011, INT_MIN, 1, 0, 0, 0, -1), std::invalid_argument);
}

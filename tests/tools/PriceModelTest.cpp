#include <algorithm>
#include <cmath>
#include <set>

#include <gtest/gtest.h>

#include "quotesim/PriceModel.h"
#include "quotesim/SymbolDirectory.h"

using namespace quotesim;

namespace {
const SymbolDirectory& Demo()
{
    static const SymbolDirectory directory = [] {
        SymbolDirectory d;
        d.LoadFolder(QUORELLE_DEMO_DIR);
        return d;
    }();
    return directory;
}

ListedSecurity Security(const char* country, const char* symbol)
{
    ListedSecurity s;
    s.country = country;
    s.symbol = symbol;
    s.company = "Test Company Inc";
    return s;
}

ClockTime At(int year, int month, int day, int hour, int minute)
{
    return ClockTime{Date{year, month, day}, hour, minute};
}
}  // namespace

TEST(PriceModel, PureFunctionOfSecurityDateAndMinute)
{
    const ListedSecurity a = Security("US", "ALD");
    const ListedSecurity b = Security("US", "BEX");
    const QuoteSnapshot first = ComputeQuote(a, At(2011, 11, 4, 11, 0));
    ComputeQuote(b, At(2011, 11, 4, 11, 0));
    ComputeQuote(a, At(2011, 11, 7, 14, 0));
    const QuoteSnapshot again = ComputeQuote(a, At(2011, 11, 4, 11, 0));
    EXPECT_EQ(first.last, again.last);
    EXPECT_EQ(first.volume, again.volume);
    EXPECT_EQ(first.changeText, again.changeText);
    EXPECT_EQ(SessionPrices(ProfileOf(a), Date{2011, 11, 4}), SessionPrices(ProfileOf(a), Date{2011, 11, 4}));
    // Company name and list do not move the price; country and symbol do.
    ListedSecurity renamed = a;
    renamed.company = "Another Name";
    renamed.market = "NYSE";
    EXPECT_EQ(ComputeQuote(renamed, At(2011, 11, 4, 11, 0)).last, first.last);
    EXPECT_NE(SessionPrices(ProfileOf(Security("CA", "ALD")), Date{2011, 11, 4}),
              SessionPrices(ProfileOf(a), Date{2011, 11, 4}));
}

TEST(PriceModel, SessionsJoinUpFromDayToDay)
{
    for (const ListedSecurity& security : Demo().Securities()) {
        const SecurityProfile profile = ProfileOf(security);
        const SessionPath friday = SessionPrices(profile, Date{2011, 11, 4});
        const QuoteSnapshot monday = ComputeQuote(security, At(2011, 11, 7, 12, 0));
        EXPECT_EQ(monday.prevClose, RoundCents(friday.back())) << security.symbol;
        // The open gaps only a little away from the previous close.
        EXPECT_NEAR(monday.open, monday.prevClose, monday.prevClose * 0.0061 + 0.011) << security.symbol;
    }
}

TEST(PriceModel, PricesRiseAndFall)
{
    int rising = 0;
    int falling = 0;
    int upSteps = 0;
    int downSteps = 0;
    for (const ListedSecurity& security : Demo().Securities()) {
        const QuoteSnapshot quote = ComputeQuote(security, At(2011, 11, 4, 13, 0));
        (quote.Rising() ? rising : falling)++;
        const SessionPath path = SessionPrices(ProfileOf(security), Date{2011, 11, 4});
        for (std::size_t i = 1; i < path.size(); ++i) {
            upSteps += RoundCents(path[i]) > RoundCents(path[i - 1]);
            downSteps += RoundCents(path[i]) < RoundCents(path[i - 1]);
        }
    }
    EXPECT_GT(rising, 20);
    EXPECT_GT(falling, 20);
    EXPECT_GT(upSteps, 1000);
    EXPECT_GT(downSteps, 1000);
}

TEST(PriceModel, QuoteFieldsAreConsistent)
{
    bool grouped52Week = false;
    for (const ListedSecurity& security : Demo().Securities()) {
        long long previousVolume = -1;
        for (int minute = 9 * 60 + 45; minute <= 16 * 60 + 30; minute += 25) {
            const QuoteSnapshot q = ComputeQuote(security, At(2011, 11, 4, minute / 60, minute % 60));
            SCOPED_TRACE(security.symbol + " " + q.lastTradeTime);
            EXPECT_GT(q.last, 0);
            EXPECT_LE(q.dayLow, q.last);
            EXPECT_GE(q.dayHigh, q.last);
            EXPECT_LE(q.dayLow, q.open);
            EXPECT_GE(q.dayHigh, q.open);
            EXPECT_LE(q.week52Low, q.dayLow);
            EXPECT_GE(q.week52High, q.dayHigh);
            EXPECT_LT(q.bid, q.ask);
            EXPECT_DOUBLE_EQ(q.change, RoundCents(q.last - q.prevClose));
            EXPECT_GE(q.volume, previousVolume);
            previousVolume = q.volume;
            EXPECT_EQ(q.delayMinutes, 15);
            grouped52Week = grouped52Week || q.week52High >= 1000;
        }
    }
    EXPECT_TRUE(grouped52Week) << "some 52-week range should need a thousands separator";
}

TEST(PriceModel, ListVolumeIsTheAverageVolume)
{
    ListedSecurity security = Security("US", "ALD");
    security.listVolume = 1234567;
    EXPECT_EQ(ComputeQuote(security, At(2011, 11, 4, 12, 0)).avgVolume, 1234567);
    EXPECT_EQ(ComputeQuote(security, At(2011, 11, 4, 12, 0)).avgVolumeText, "1,234,567");
}

TEST(PriceModel, Formatting)
{
    EXPECT_EQ(FormatFixed(12.5, 2), "12.50");
    EXPECT_EQ(FormatFixed(-0.125, 1), "-0.1");
    EXPECT_EQ(GroupThousands(0), "0");
    EXPECT_EQ(GroupThousands(999), "999");
    EXPECT_EQ(GroupThousands(1000), "1,000");
    EXPECT_EQ(GroupThousands(1234567), "1,234,567");
    EXPECT_EQ(FormatGroupedPrice(1234.5), "1,234.50");
    EXPECT_EQ(FormatGroupedPrice(999.999), "1,000.00");
    EXPECT_EQ(FormatGroupedPrice(12.0), "12.00");
    EXPECT_EQ(FormatLargeCount(2.5e9), "2.50 Bil");
    EXPECT_EQ(FormatLargeCount(64.27e6), "64.27 Mil");
    EXPECT_EQ(RoundCents(-0.001), 0.0);
    EXPECT_FALSE(std::signbit(RoundCents(-0.001)));
}

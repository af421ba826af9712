#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/CText.h"
#include "chart/PriceText.h"

namespace {

// Bit for bit, or both not a number.
bool SameDouble(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    std::uint64_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

// Prices a chart meets and those that round awkwardly: halves of a cent
// (x.xx5, mostly not exact in binary), ties that are exact (0.125),
// negatives, zeroes, large and huge values, and random bit patterns.
std::vector<double> AwkwardPrices()
{
    std::vector<double> prices = {0.0, -0.0, 0.125, 0.375, 2.675, 1.005, 1.015, 8.345, -8.345, 1e13 - 0.005,
                                  9999999999999.995, 7e13 + 0.01, 1e15 + 0.3, 1e22, 1e300,
                                  std::numeric_limits<double>::max(), std::numeric_limits<double>::denorm_min(),
                                  -std::numeric_limits<double>::min(), std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
    for (int i = -20000; i <= 20000; ++i) {
        prices.push_back(i / 1000.0);
        prices.push_back(i * 0.001 + 0.0005);
        prices.push_back(i / 8.0);
    }
    std::mt19937_64 random(20111104);
    std::uniform_real_distribution<double> market(-5000.0, 5000.0);
    for (int i = 0; i < 20000; ++i) {
        prices.push_back(market(random));
        // Three decimals, the last a 5: the halfway cases a cent rounding meets.
        prices.push_back(std::round(market(random) * 100) / 100 + 0.005);
        std::uint64_t bits = random();
        double any;
        std::memcpy(&any, &bits, sizeof any);
        prices.push_back(any);
    }
    return prices;
}

}  // namespace

TEST(PriceText, TextIsPrintfsAndValueIsWhatTheTextReadsAs)
{
    for (const double price : AwkwardPrices()) {
        const PriceText text(price);
        const std::string printed = FormatC("%.2f", price);
        ASSERT_EQ(text.Text(), printed) << price;
        ASSERT_TRUE(SameDouble(text.Value(), CAtof(printed))) << printed;
        ASSERT_TRUE(SameDouble(text.Number(), price)) << printed;
        EXPECT_FALSE(text.Borrowed());
    }
}

TEST(PriceText, ATextThatIsItsOwnPrintfIsTakenAsItStands)
{
    for (const double price : AwkwardPrices()) {
        const std::string printed = FormatC("%.2f", price);
        PriceText read;
        if (!PriceText::Read(printed, read))
            continue;
        // Taken as it stands, it is the text its value prints as.
        EXPECT_EQ(read.Text().data(), printed.data());
        EXPECT_TRUE(read.Borrowed());
        ASSERT_TRUE(SameDouble(read.Value(), CAtof(printed))) << printed;
        ASSERT_TRUE(SameDouble(read.Number(), read.Value())) << printed;
        ASSERT_EQ(PriceText(read.Value()).Text(), printed) << printed;
    }
    for (const char* usual : {"0.00", "-0.00", "25.41", "-3.05", "1234567890123.99"}) {
        PriceText read;
        EXPECT_TRUE(PriceText::Read(usual, read)) << usual;
        EXPECT_EQ(read.Text(), usual);
    }
}

TEST(PriceText, AnyOtherTextIsLeftToBeReadAsANumber)
{
    for (const char* other : {"", "-", ".50", "007.50", "00.50", "-01.00", "12.5", "12.345", "1e3", "+1.00", " 1.00",
                              "1.00 ", "12.5x", "1x.50", "1:.50", "12/.50", "nan", "inf", "12345678901234.00", "1,50", "1.-5"}) {
        PriceText read(7.0);
        EXPECT_FALSE(PriceText::Read(other, read)) << other;
        EXPECT_EQ(read.Text(), "7.00") << other;  // left as it was
    }
}

// The order of the quote sources while the user has chosen none, and the
// watch that says once that the specified source seems to be gone.

#include <string>
#include <vector>

#include <QString>
#include <gtest/gtest.h>

#include "base/Globals.h"
#include "base/Settings.h"
#include "quote/DefaultSourceOrder.h"
#include "quote/GoneSourceWatch.h"
#include "quote/QuoteService.h"
#include "support/QuoteSourceSetup.h"

namespace {

using Strings = std::vector<std::string>;

TEST(DefaultSourceOrder, SpecifiedSourceFirstThenChartJsonThenQuoteCsv)
{
    EXPECT_EQ(DefaultQuoteSourceOrder(2), (Strings{"msn-money", "chart-json", "quote-csv"}));
    EXPECT_EQ(DefaultQuoteSourceOrder(0), (Strings{"cnn-money", "chart-json", "quote-csv"}));
    EXPECT_EQ(SpecifiedQuoteSourceId(2), "msn-money");
    EXPECT_EQ(SpecifiedQuoteSourceId(0), "cnn-money");
}

TEST(DefaultSourceOrder, StatusBarNamesOnlyAFallbackUnlessTheUserChoseSeveral)
{
    const Strings order = DefaultQuoteSourceOrder(2);
    EXPECT_FALSE(NamesQuoteSource(order, false, "msn-money", 2));
    EXPECT_TRUE(NamesQuoteSource(order, false, "chart-json", 2));
    EXPECT_TRUE(NamesQuoteSource(DefaultQuoteSourceOrder(0), false, "msn-money", 0));
    EXPECT_FALSE(NamesQuoteSource(DefaultQuoteSourceOrder(0), false, "cnn-money", 0));

    EXPECT_TRUE(NamesQuoteSource({"msn-money", "chart-json"}, true, "msn-money", 2));
    EXPECT_FALSE(NamesQuoteSource({"chart-json"}, true, "chart-json", 2));
}

// The enabled order as the quote service reads it from the settings.
class EnabledSourcesTest : public ::testing::Test {
protected:
    EnabledSourcesTest() { testing_support::UseDefaultSourceOrder(); }
    ~EnabledSourcesTest() override
    {
        QuoteSource = 2;
        testing_support::UseDefaultSourceOrder();
    }
    static bool Stored() { return CUserSettings().contains(QString::fromLatin1(SettingsKey::kEnabledQuoteSources)); }
};

TEST_F(EnabledSourcesTest, WithoutTheSettingTheDefaultOrderIsReadAndNothingWritten)
{
    QuoteSource = 2;
    EXPECT_EQ(CQuoteService::Instance().EnabledSources(), DefaultQuoteSourceOrder(2));
    EXPECT_FALSE(CQuoteService::Instance().SourcesChosen());
    QuoteSource = 0;
    EXPECT_EQ(ReadEnabledSources(), DefaultQuoteSourceOrder(0));
    EXPECT_FALSE(Stored());
}

TEST_F(EnabledSourcesTest, TheUsersOrderIsReadAsWrittenAndNeverChanged)
{
    CUserSettings().setValue(QString::fromLatin1(SettingsKey::kEnabledQuoteSources), " msn-money ");
    EXPECT_EQ(CQuoteService::Instance().EnabledSources(), Strings{"msn-money"});
    EXPECT_TRUE(CQuoteService::Instance().SourcesChosen());
    CUserSettings().setValue(QString::fromLatin1(SettingsKey::kEnabledQuoteSources), "quote-csv,msn-money");
    EXPECT_EQ(ReadEnabledSources(), (Strings{"quote-csv", "msn-money"}));
    EXPECT_EQ(CUserSettings().value(QString::fromLatin1(SettingsKey::kEnabledQuoteSources)).toString(),
              "quote-csv,msn-money");

    // A setting that names no source is no choice: the default order holds.
    CUserSettings().setValue(QString::fromLatin1(SettingsKey::kEnabledQuoteSources), " , ");
    EXPECT_EQ(ReadEnabledSources(), DefaultQuoteSourceOrder(2));
    EXPECT_FALSE(CQuoteService::Instance().SourcesChosen());
}

TEST_F(EnabledSourcesTest, TheHelperOfTheTestsTurnsTheSpecifiedSourceOnAlone)
{
    testing_support::UseSpecifiedSourceAlone(0);
    EXPECT_EQ(QuoteSource, 0);
    EXPECT_EQ(ReadEnabledSources(), Strings{"cnn-money"});
    testing_support::UseSpecifiedSourceAlone();
    EXPECT_EQ(ReadEnabledSources(), Strings{"msn-money"});
}

// One fetch as the router reports it: the watched source's turn (when
// given) and the source that gave the quote (when any).
QuoteFetchResult Fetched(std::optional<SourceAttempt::Result> watched, const std::string& answered,
                         bool cannotConnect = false)
{
    QuoteFetchResult result;
    if (watched)
        result.attempts.push_back({"msn-money", *watched, cannotConnect, "no quote in the answer"});
    if (!answered.empty() && answered != "msn-money") {
        result.attempts.push_back({answered, SourceAttempt::Result::Quote, false, ""});
    }
    if (!answered.empty()) {
        result.quote = ParsedQuotePage{};
        result.sourceId = answered;
    }
    return result;
}

constexpr auto kNoData = SourceAttempt::Result::NoData;
constexpr auto kFailed = SourceAttempt::Result::Failed;

TEST(GoneSourceWatch, ThreeDifferentSecuritiesInARowAnsweredElsewhereAreSaidOnce)
{
    CGoneSourceWatch watch;
    EXPECT_EQ(watch.Observe("msn-money", "US:IBM", Fetched(kNoData, "chart-json")), "");
    // The same security again is not another one.
    EXPECT_EQ(watch.Observe("msn-money", "US:IBM", Fetched(kNoData, "chart-json")), "");
    EXPECT_EQ(watch.Observe("msn-money", "US:T", Fetched(kFailed, "chart-json")), "");
    EXPECT_EQ(watch.Observe("msn-money", "CA:RY", Fetched(kNoData, "quote-csv")),
              "msn-money seems to be gone; quotes come from quote-csv");
    EXPECT_EQ(watch.Observe("msn-money", "US:GE", Fetched(kNoData, "chart-json")), "");
}

TEST(GoneSourceWatch, AQuoteFromTheWatchedSourceStartsTheCountAgain)
{
    CGoneSourceWatch watch;
    watch.Observe("msn-money", "US:A", Fetched(kNoData, "chart-json"));
    watch.Observe("msn-money", "US:B", Fetched(kNoData, "chart-json"));
    EXPECT_EQ(watch.Observe("msn-money", "US:C", Fetched(SourceAttempt::Result::Quote, "msn-money")), "");
    EXPECT_EQ(watch.Observe("msn-money", "US:D", Fetched(kNoData, "chart-json")), "");
    EXPECT_EQ(watch.Observe("msn-money", "US:E", Fetched(kNoData, "chart-json")), "");
    EXPECT_EQ(watch.Observe("msn-money", "US:F", Fetched(kNoData, "chart-json")),
              GoneSourceNote("msn-money", "chart-json"));
}

TEST(GoneSourceWatch, FetchesThatShowNothingAboutTheSourceNeitherCountNorBreakTheRow)
{
    CGoneSourceWatch watch;
    watch.Observe("msn-money", "US:A", Fetched(kNoData, "chart-json"));
    // Could not be reached (no network, for a while): says nothing of being gone.
    EXPECT_EQ(watch.Observe("msn-money", "US:B", Fetched(kFailed, "chart-json", true)), "");
    // Not asked: backing off, or another source is asked first for it.
    EXPECT_EQ(watch.Observe("msn-money", "US:C", Fetched(SourceAttempt::Result::Skipped, "chart-json")), "");
    EXPECT_EQ(watch.Observe("msn-money", "US:D", Fetched(std::nullopt, "chart-json")), "");
    // No source had a quote: an unknown symbol.
    EXPECT_EQ(watch.Observe("msn-money", "US:E", Fetched(kNoData, "")), "");
    watch.Observe("msn-money", "US:F", Fetched(kNoData, "chart-json"));
    EXPECT_EQ(watch.Observe("msn-money", "US:G", Fetched(kNoData, "chart-json")),
              GoneSourceNote("msn-money", "chart-json"));
}

TEST(GoneSourceWatch, AnotherWatchedSourceCountsAfresh)
{
    CGoneSourceWatch watch;
    watch.Observe("msn-money", "US:A", Fetched(kNoData, "chart-json"));
    watch.Observe("msn-money", "US:B", Fetched(kNoData, "chart-json"));
    QuoteFetchResult cnn = Fetched(std::nullopt, "chart-json");
    cnn.attempts.insert(cnn.attempts.begin(), SourceAttempt{"cnn-money", kNoData, false, "no quote"});
    EXPECT_EQ(watch.Observe("cnn-money", "US:C", cnn), "");
    EXPECT_EQ(watch.Observe("cnn-money", "US:D", cnn), "");
}

}  // namespace

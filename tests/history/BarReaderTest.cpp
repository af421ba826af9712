#include <gtest/gtest.h>

#include "historydata/BarReader.h"
#include "quote/QuoteSourceCatalog.h"

namespace {

const QuoteSourceDefinition& Builtin(const std::string& id)
{
    static const QuoteSourceList list = ParseQuoteSources(BuiltinQuoteSourcesJson(), "built-in");
    return *FindQuoteSource(list.sources, id);
}

// Two days of chart answer around a 2:1 split on the second; the first bar as traded.
std::string ChartAnswer(double firstClose)
{
    return R"({"chart":{"result":[{"meta":{"exchangeTimezoneName":"America/New_York"},
        "timestamp":[1623418200,1623677400,1623763800,null],
        "events":{"splits":{"1623677400":{"date":1623677400,"numerator":2,"denominator":1}},
                  "dividends":{"1623763800":{"date":1623763800,"amount":0.25}}},
        "indicators":{"quote":[{"open":[199,100.5,101,5],"high":[202,101,103,5],"low":[198,99,100,5],
                                "close":[)" + std::to_string(firstClose) + R"(,100,102,5],"volume":[1000,3000,2500,1]}],
                      "adjclose":[{"adjclose":[99.5,99.75,102,5]}]}}],"error":null}})";
}

TEST(BarReader, ChartJsonDailyBarsAreDatedOnTheExchangeCalendarAndSplitAdjusted)
{
    const HistoryAnswer answer = ReadHistoryAnswer(Builtin("chart-json"), ChartAnswer(200), false, "America/New_York");
    ASSERT_TRUE(answer.ok()) << answer.error;
    ASSERT_EQ(answer.series.bars.size(), 3u);
    EXPECT_EQ(IsoDay(answer.series.bars[0].time), "2021-06-11");
    EXPECT_EQ(IsoDay(answer.series.bars[1].time), "2021-06-14");
    // Before the split: halved prices, doubled volume.
    EXPECT_DOUBLE_EQ(answer.series.bars[0].close, 100);
    EXPECT_DOUBLE_EQ(answer.series.bars[0].open, 99.5);
    EXPECT_DOUBLE_EQ(answer.series.bars[0].high, 101);
    EXPECT_EQ(answer.series.bars[0].volume, 2000);
    EXPECT_DOUBLE_EQ(answer.series.bars[0].adjClose, 99.5);
    EXPECT_DOUBLE_EQ(answer.series.bars[1].close, 100);
    EXPECT_EQ(answer.series.bars[1].volume, 3000);
    ASSERT_EQ(answer.series.events.size(), 2u);
    EXPECT_EQ(answer.series.events[0].kind, HistoryEvent::Kind::Split);
    EXPECT_DOUBLE_EQ(answer.series.events[0].value, 2);
    EXPECT_EQ(answer.series.events[1].kind, HistoryEvent::Kind::Dividend);
    EXPECT_DOUBLE_EQ(answer.series.events[1].value, 0.25);
}

TEST(BarReader, PricesTheSourceAlreadyAdjustedAreLeftAlone)
{
    const HistoryAnswer answer = ReadHistoryAnswer(Builtin("chart-json"), ChartAnswer(99), false, "America/New_York");
    ASSERT_TRUE(answer.ok());
    EXPECT_DOUBLE_EQ(answer.series.bars[0].close, 99);
    EXPECT_EQ(answer.series.bars[0].volume, 1000);
}

TEST(BarReader, IntradayBarsKeepTheirInstant)
{
    const HistoryAnswer answer = ReadHistoryAnswer(Builtin("chart-json"), ChartAnswer(200), true, "America/New_York");
    ASSERT_TRUE(answer.ok());
    EXPECT_EQ(answer.series.bars[0].time, 1623418200);
    EXPECT_EQ(BarTimeText(answer.series, answer.series.bars[0].time), "2021-06-11T09:30:00-04:00");
}

TEST(BarReader, DailyCsvWithNoValuesBomAndCrLf)
{
    const std::string body = "\xEF\xBB\xBF" "Date,Open,High,Low,Close,Volume\r\n"
                             "2023-08-03,10,11,9,10.5,100\r\n"
                             "2023-08-04,N/D,N/D,N/D,N/D,N/D\r\n"
                             "2023-08-02,9,10,8,9.5,\r\n"
                             "2023-08-07,\"10.5\",12,10,11.25,300\r\n";
    const HistoryAnswer answer = ReadHistoryAnswer(Builtin("quote-csv"), body, false, "America/New_York");
    ASSERT_TRUE(answer.ok()) << answer.error;
    ASSERT_EQ(answer.series.bars.size(), 3u);
    EXPECT_EQ(IsoDay(answer.series.bars[0].time), "2023-08-02");
    EXPECT_EQ(answer.series.bars[0].volume, 0);
    EXPECT_EQ(IsoDay(answer.series.bars[2].time), "2023-08-07");
    EXPECT_DOUBLE_EQ(answer.series.bars[2].open, 10.5);
    EXPECT_DOUBLE_EQ(answer.series.bars[2].close, 11.25);
}

TEST(BarReader, NoDataWebPagesAndBrokenAnswers)
{
    const QuoteSourceDefinition& csv = Builtin("quote-csv");
    const QuoteSourceDefinition& json = Builtin("chart-json");
    EXPECT_EQ(ReadHistoryAnswer(csv, "No data", false, "").status, HistoryAnswer::Status::NoData);
    EXPECT_EQ(ReadHistoryAnswer(csv, "<html>blocked</html>", false, "").status, HistoryAnswer::Status::BadAnswer);
    EXPECT_EQ(ReadHistoryAnswer(csv, "A,B,C\n1,2,3\n", false, "").status, HistoryAnswer::Status::BadAnswer);
    EXPECT_EQ(ReadHistoryAnswer(json, "{\"chart\":", false, "").status, HistoryAnswer::Status::BadAnswer);
    EXPECT_EQ(ReadHistoryAnswer(json, "", false, "").status, HistoryAnswer::Status::BadAnswer);
    const HistoryAnswer notFound = ReadHistoryAnswer(
        json, R"({"chart":{"result":null,"error":{"description":"No data found"}}})", false, "");
    EXPECT_EQ(notFound.status, HistoryAnswer::Status::NoData);
    EXPECT_EQ(notFound.error, "the source says: No data found");
}

TEST(BarReader, DuplicatesKeepTheLaterBarAndBarsComeOutAscending)
{
    const std::string body = "Date,Close\n2023-08-04,2\n2023-08-03,1\n2023-08-04,3\n";
    QuoteSourceDefinition source = Builtin("quote-csv");
    const HistoryAnswer answer = ReadHistoryAnswer(source, body, false, "America/New_York");
    ASSERT_EQ(answer.series.bars.size(), 2u);
    EXPECT_DOUBLE_EQ(answer.series.bars[0].close, 1);
    EXPECT_DOUBLE_EQ(answer.series.bars[1].close, 3);
    // Missing open, high and low take the close.
    EXPECT_DOUBLE_EQ(answer.series.bars[1].open, 3);
    EXPECT_DOUBLE_EQ(answer.series.bars[1].low, 3);
}

}  // namespace

// The watchlist's results handed over in batches: every result of a refresh
// reaches its row once, before the cycle's end; a batch that moves many rows
// leaves the table sorted.
#include <chrono>
#include <map>
#include <thread>

#include <QCoreApplication>

#include "QuoteWindowFixture.h"
#include "watchlist/WatchlistModel.h"
#include "watchlist/WatchlistRefresher.h"

namespace {
SecurityRecord Listed(const std::string& symbol)
{
    SecurityRecord record;
    record.country = "US";
    record.symbol = symbol;
    return record;
}

CWatchlistRefresher::FetchedRow Fetched(const std::string& symbol, double last)
{
    CWatchlistRefresher::FetchedRow row;
    row.security = Listed(symbol);
    ParsedQuotePage page;
    page.quote.last = last;
    page.quote.prevClose = 100;
    row.result.quote = page;
    row.result.sourceId = "msn-money";
    return row;
}

// The sort model's rows are in falling % Change.
bool SortedFalling(const CWatchlistModel& model, const CWatchlistSortModel& sorted)
{
    for (int row = 1; row < sorted.rowCount(); ++row) {
        const auto above = sorted.mapToSource(sorted.index(row - 1, 0)).row();
        const auto below = sorted.mapToSource(sorted.index(row, 0)).row();
        if (model.Row(above).quote->changePercent < model.Row(below).quote->changePercent)
            return false;
    }
    return true;
}
}  // namespace

TEST(WatchlistBatch, ABatchMovingManyRowsLeavesTheTableSortedAndEachValueInItsRow)
{
    CWatchlistModel model;
    CWatchlistSortModel sorted;
    sorted.setSourceModel(&model);
    sorted.sort(static_cast<int>(WatchColumn::ChangePercent), Qt::DescendingOrder);
    constexpr int kRows = 60;
    std::vector<CWatchlistRefresher::FetchedRow> first;
    for (int i = 0; i < kRows; ++i) {
        model.AddSecurity(Listed("B" + std::to_string(i)));
        first.push_back(Fetched("B" + std::to_string(i), 100 + (i * 37 % kRows) - kRows / 2));
    }
    model.ApplyResults(first);
    ASSERT_TRUE(SortedFalling(model, sorted));
    // Every third row turns around, in one batch, listed from the bottom up.
    std::vector<CWatchlistRefresher::FetchedRow> second;
    for (int i = kRows - 1; i >= 0; i -= 3)
        second.push_back(Fetched("B" + std::to_string(i), 100 - (i * 37 % kRows) + kRows / 2 + 0.5));
    model.ApplyResults(second);
    EXPECT_TRUE(SortedFalling(model, sorted));
    for (int i = 0; i < kRows; ++i) {
        const double expected = (kRows - 1 - i) % 3 == 0 ? 100 - (i * 37 % kRows) + kRows / 2 + 0.5
                                                          : 100 + (i * 37 % kRows) - kRows / 2;
        ASSERT_TRUE(model.Row(i).quote);
        EXPECT_DOUBLE_EQ(model.Row(i).quote->last, expected) << "row " << i;
    }
}

TEST_F(QuoteWindowTest, WatchlistBatchesHandOverEveryResultOnceBeforeTheCycleEnds)
{
    // More rows than one turn takes, answered at once, while the GUI thread
    // is busy: the results pile up and are handed over in several batches.
    constexpr int kRows = 2 * static_cast<int>(CWatchlistRefresher::kMaxRowsPerTurn) + 17;
    CWatchlistModel model;
    std::vector<SecurityRecord> securities;
    for (int i = 0; i < kRows; ++i) {
        securities.push_back(Listed("R" + std::to_string(i)));
        model.AddSecurity(securities.back());
    }
    CWatchlistRefresher refresher;
    std::map<std::string, int> deliveries;
    int delivered = 0;
    int deliveredAtEnd = -1;
    std::size_t largestBatch = 0;
    QObject::connect(&refresher, &CWatchlistRefresher::rowsFetched,
                     [&](const std::vector<CWatchlistRefresher::FetchedRow>& rows) {
                         largestBatch = std::max(largestBatch, rows.size());
                         for (const CWatchlistRefresher::FetchedRow& row : rows)
                             ++deliveries[row.security.symbol];
                         delivered += static_cast<int>(rows.size());
                         model.ApplyResults(rows);
                     });
    QObject::connect(&refresher, &CWatchlistRefresher::cycleFinished, [&] { deliveredAtEnd = delivered; });
    ASSERT_TRUE(refresher.RefreshNow(securities));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (m_sim.RequestCount() < kRows && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    while (deliveredAtEnd < 0 && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    EXPECT_EQ(deliveredAtEnd, kRows);
    EXPECT_LE(largestBatch, CWatchlistRefresher::kMaxRowsPerTurn);
    for (const SecurityRecord& security : securities)
        EXPECT_EQ(deliveries[security.symbol], 1) << security.symbol;
    for (int row = 0; row < kRows; ++row) {
        ASSERT_TRUE(model.Row(row).quote) << "row " << row;
        EXPECT_DOUBLE_EQ(model.Row(row).quote->last, Expected("US:" + model.Row(row).security.symbol).last);
    }
    EXPECT_FALSE(refresher.Busy());
}

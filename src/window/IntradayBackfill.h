#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "quote/QuotePage.h"
#include "quote/QuoteRecord.h"

// What a new quote window's chart takes from the intraday series of the
// source that gave its first quote. Widget-free.

// The most rows a backfill adds: one a minute for a whole day.
inline constexpr std::size_t kMaxBackfillRows = 24 * 60;

// The points of the series that belong to the quote's own trading day: on
// the local date of `quoteTime` (the exchange's clock, as quote times are
// kept), not after it, and within the kMaxBackfillRows minutes up to it (a
// day with a clock change back has more). Oldest first. A point far off,
// such as one at the epoch, would otherwise make a row for every period
// since.
std::vector<IntradayPoint> TradingDayPoints(const std::vector<IntradayPoint>& series, std::int64_t quoteTime);

// The history with the trading day's points filled in where it has no row
// (MergeIntradaySeries up to the quote's time, rows copying the quote). At
// most kMaxBackfillRows rows are added, whatever the series holds.
std::vector<QuoteRecord> BackfillHistory(std::vector<QuoteRecord> history, const std::vector<IntradayPoint>& series,
                                         std::int32_t refreshMinutes, const QuoteRecord& quote);

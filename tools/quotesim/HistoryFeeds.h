#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quotesim/PriceModel.h"
#include "quotesim/QuoteFeeds.h"

// Price history as the simulated services serve it, cut from the same walk
// as the quotes: ten years of daily bars through the shown trade, and the
// last five sessions' intraday bars. Some securities split once and some
// pay dividends, so that adjustment can be tested.
namespace quotesim {

// One bar as traded (before any adjustment), prices rounded to cents.
struct SimBar {
    Date date;
    int minuteOfDay = kSessionOpen;  // intraday: the bar's first minute; daily: the open
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    long long volume = 0;
};

// A split: on `date` each share became `ratio` shares. Securities whose
// seed is a multiple of four split 2:1 on 2021-06-14.
struct SimSplit {
    Date date;
    int ratio = 1;
};
std::optional<SimSplit> SplitOf(const SecurityProfile& profile);

// Dividends (per share as traded) paid on the first trading day of
// February, May, August and November by securities that pay one.
struct SimDividend {
    Date date;
    double amount = 0;
};
std::vector<SimDividend> DividendsOf(const SecurityProfile& profile, const Date& from, const Date& to);

// Daily bars as traded from `from` through the shown trade's session (its
// bar runs to the shown minute while the session is open).
std::vector<SimBar> DailyBars(const ListedSecurity& security, const Date& from, const ClockTime& clock);
// The same bars adjusted for the split only, as the daily CSV serves them.
std::vector<SimBar> SplitAdjusted(const SecurityProfile& profile, std::vector<SimBar> bars);
// Intraday bars of `interval` minutes for the last `sessions` sessions
// through the shown trade.
std::vector<SimBar> IntradayBars(const ListedSecurity& security, int sessions, int interval, const ClockTime& clock);

// The first day of a chart range ("1mo", "6mo", "ytd", "1y", "5y", "10y",
// "max", "5d") counted back from `today`; nullopt for an unknown range.
std::optional<Date> RangeStart(std::string_view range, const Date& today);

// "/v8/finance/chart/SYM?range=R&interval=I&events=div,splits" for ranges and
// intervals other than the one-day minutes: daily ("1d", "1wk") or intraday
// ("1m", "5m", "15m", "30m", "60m" with range "1d" or "5d") bars, with
// adjclose and the events inside the range. Status 400 for another range
// or interval.
FeedReply ChartHistoryReply(const ListedSecurity& security, std::string_view range, std::string_view interval,
                            const ClockTime& clock);

// "/q/d/l/?s=sym.us&i=d": every daily bar of ten years, split-adjusted,
// oldest first, header "Date,Open,High,Low,Close,Volume", lines ending in
// CR LF; "No data" for an unknown symbol.
FeedReply CsvHistoryReply(const std::optional<ListedSecurity>& security, const ClockTime& clock);

// Ten years back from the shown trade's date: where both formats start.
Date HistoryStart(const ClockTime& clock);

}  // namespace quotesim

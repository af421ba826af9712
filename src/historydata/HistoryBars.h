#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quote/QuoteTime.h"

// A security's price history as bars. A daily bar's time is its day on the
// exchange's calendar (days since 1970-01-01); an intraday bar's, the true
// instant its interval starts (seconds since the epoch).

struct HistoryBar {
    std::int64_t time = 0;
    double open = 0;
    double high = 0;
    double low = 0;
    double close = 0;
    double adjClose = 0;  // 0 when the source gives none
    long long volume = 0;

    bool operator==(const HistoryBar&) const = default;
};

struct HistoryEvent {
    enum class Kind { Split, Dividend };
    std::int64_t time = 0;  // on the bars' clock (a day for daily bars)
    Kind kind = Kind::Dividend;
    double value = 0;  // split: new shares per old share; dividend: the amount

    bool operator==(const HistoryEvent&) const = default;
};

struct HistorySeries {
    bool intraday = false;
    std::string zone;  // the exchange's IANA zone
    std::vector<HistoryBar> bars;  // ascending time, one bar per time
    std::vector<HistoryEvent> events;

    bool operator==(const HistorySeries&) const = default;
};

// "2023-08-04"
std::string IsoDay(std::int64_t dayNumber);
// The day on `zone`'s calendar of an instant (UTC for an unknown zone).
std::int64_t DayInZone(std::int64_t instant, const std::string& zone);
// A bar's time as ISO 8601 on the exchange's calendar: "2023-08-04" for a
// daily series, "2023-08-04T09:30:00-04:00" for an intraday one.
std::string BarTimeText(const HistorySeries& series, std::int64_t time);
// The exchange's zone of a country (ExchangeZones.h), America/New_York when unknown.
std::string HistoryZoneOf(const std::string& country);

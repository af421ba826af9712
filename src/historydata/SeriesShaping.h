#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "historydata/HistoryBars.h"

// Shaping bars for a chart: cutting to a range, weekly bars for long ones,
// and the compare chart's percentages. Pure functions.

// The bars and events at or after `from`.
HistorySeries CutFrom(const HistorySeries& series, std::int64_t from);

// Weekly bars of a daily series: one per week (Monday to Sunday), dated by
// its first trading day, open of its first day, close of its last, the
// highest high, the lowest low and the summed volume.
HistorySeries WeeklyBars(const HistorySeries& daily);

// Daily series longer than this many days are shown weekly (Max over ten years).
inline constexpr std::int64_t kWeeklyAfterDays = 3653;

// One series of a compare chart: the close's change in percent from its
// close on the first time every series has.
struct ComparePoint {
    std::int64_t time = 0;
    double percent = 0;
};
struct CompareLine {
    std::vector<ComparePoint> points;
    double change = 0;  // percent over the range: the last point's
};

// Each series from the first time all of them have (the latest of their
// first times that every series holds a bar at or before); a series takes
// as its base its close at that time, or its last before it. Series without
// bars give empty lines; with fewer than one common time every line is empty.
std::vector<CompareLine> NormaliseForCompare(const std::vector<HistorySeries>& series);

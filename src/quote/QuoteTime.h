#pragma once

#include <cstdint>

// Seconds since 1970-01-01 00:00 UTC of the given local wall-clock time, with
// mktime's rules: out-of-range fields are carried over (minute 75 is 15
// minutes into the next hour), the local time zone decides the offset, and
// isDst -1 lets the C library decide whether daylight saving time applies.
// Throws std::invalid_argument when the time cannot be represented.
std::int64_t MakeQuoteTime(int year, int month, int day, int hour, int minute, int second, int isDst);

// Days since 1970-01-01 of a civil date and back (proleptic Gregorian).
std::int64_t DayNumber(int year, int month, int day);
void CivilDate(std::int64_t dayNumber, int& year, int& month, int& day);

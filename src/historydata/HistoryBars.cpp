#include "historydata/HistoryBars.h"

#include <cstdio>

#include <QDateTime>
#include <QTimeZone>

#include "quote/ExchangeZones.h"

std::string IsoDay(std::int64_t dayNumber)
{
    int year = 0, month = 0, day = 0;
    CivilDate(dayNumber, year, month, day);
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

std::int64_t DayInZone(std::int64_t instant, const std::string& zone)
{
    const QTimeZone timeZone = ZoneOf(zone);
    const QDateTime at = QDateTime::fromSecsSinceEpoch(instant, timeZone.isValid() ? timeZone : QTimeZone::utc());
    const QDate date = at.date();
    return DayNumber(date.year(), date.month(), date.day());
}

std::string BarTimeText(const HistorySeries& series, std::int64_t time)
{
    return series.intraday ? IsoTimeInZone(time, series.zone) : IsoDay(time);
}

std::string HistoryZoneOf(const std::string& country)
{
    const ExchangeCountry* found = FindExchangeCountry(country);
    return found ? found->zone : "America/New_York";
}

#include "historydata/HistoryBars.h"

#include <cstdio>

#include <QDateTime>
#include <QTimeZone>

#include "quote/ExchangeZones.h"

std::int64_t DayNumber(int year, int month, int day)
{
    // Howard Hinnant's days_from_civil.
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * static_cast<unsigned>(month > 2 ? month - 3 : month + 9) + 2) / 5 +
                         static_cast<unsigned>(day) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilDate(std::int64_t dayNumber, int& year, int& month, int& day)
{
    const std::int64_t z = dayNumber + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

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
    const QTimeZone timeZone(QByteArray::fromStdString(zone));
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

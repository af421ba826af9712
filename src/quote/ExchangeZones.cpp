#include "quote/ExchangeZones.h"

#include <algorithm>
#include <ctime>
#include <stdexcept>
#include <string_view>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>

#include "base/CText.h"
#include "quote/QuoteTime.h"

QTimeZone ZoneOf(const std::string& zone)
{
    if (zone.empty())
        return QTimeZone();
    thread_local std::string lastId;
    thread_local QTimeZone lastZone;
    if (zone != lastId) {
        const QByteArray id = QByteArray::fromStdString(zone);
        lastZone = QTimeZone::isTimeZoneIdAvailable(id) ? QTimeZone(id) : QTimeZone();
        lastId = zone;
    }
    return lastZone;
}

const std::vector<ExchangeCountry>& ExchangeCountries()
{
    static const std::vector<ExchangeCountry> table = {
        {"AU", "Australia/Sydney", "AUD"},  {"BE", "Europe/Brussels", "EUR"},
        {"CA", "America/Toronto", "CAD"},   {"DE", "Europe/Berlin", "EUR"},
        {"ES", "Europe/Madrid", "EUR"},     {"FR", "Europe/Paris", "EUR"},
        {"GB", "Europe/London", "GBp"},     {"IT", "Europe/Rome", "EUR"},
        {"JP", "Asia/Tokyo", "JPY"},        {"NL", "Europe/Amsterdam", "EUR"},
        {"SE", "Europe/Stockholm", "SEK"},  {"US", "America/New_York", "USD"},
    };
    return table;
}

const ExchangeCountry* FindExchangeCountry(const std::string& code)
{
    const std::string_view wanted = TrimWhitespaceView(code);
    const auto& table = ExchangeCountries();
    const auto it = std::find_if(table.begin(), table.end(), [wanted](const ExchangeCountry& entry) {
        return EqualsIgnoringAsciiCase(wanted, entry.code);
    });
    return it == table.end() ? nullptr : &*it;
}

bool IsKnownZone(const std::string& zone)
{
    return ZoneOf(zone).isValid();
}

std::optional<std::int64_t> ExchangeWallClock(std::int64_t instant, const std::string& zone)
{
    const QTimeZone exchange = ZoneOf(zone);
    if (!exchange.isValid())
        return instant;
    const QDateTime there = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(instant), exchange);
    if (!there.isValid())
        return std::nullopt;
    const QDate date = there.date();
    const QTime time = there.time();
    try {
        return MakeQuoteTime(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(), -1);
    } catch (const std::invalid_argument&) {
        return std::nullopt;
    }
}

std::int64_t TrueInstant(std::int64_t wallClock, const std::string& zone)
{
    const QTimeZone exchange = ZoneOf(zone);
    if (!exchange.isValid())
        return wallClock;
    const std::time_t seconds = static_cast<std::time_t>(wallClock);
    std::tm local{};
    if (!localtime_r(&seconds, &local))
        return wallClock;
    const QDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const QTime time(local.tm_hour, local.tm_min, local.tm_sec);
    // The offset of the day before: the one a clock change leaves behind.
    const qint64 asUtc = QDateTime(date, time, Qt::UTC).toSecsSinceEpoch();
    const qint64 before = asUtc - exchange.offsetFromUtc(QDateTime::fromSecsSinceEpoch(asUtc - 86400));
    const QDateTime placed(date, time, exchange);
    if (!placed.isValid())
        return static_cast<std::int64_t>(before);  // skipped by a clock change
    // Repeated by a clock change: Qt may give the later instant; the
    // earlier one shows the same wall clock with the offset before.
    const qint64 at = placed.toSecsSinceEpoch();
    if (before < at) {
        const QDateTime earlier = QDateTime::fromSecsSinceEpoch(before, exchange);
        if (earlier.date() == date && earlier.time() == time)
            return static_cast<std::int64_t>(before);
    }
    return static_cast<std::int64_t>(at);
}

std::string IsoTimeInZone(std::int64_t instant, const std::string& zone)
{
    const QTimeZone exchange = ZoneOf(zone);
    const QDateTime at = exchange.isValid() ? QDateTime::fromSecsSinceEpoch(static_cast<qint64>(instant), exchange)
                                            : QDateTime::fromSecsSinceEpoch(static_cast<qint64>(instant));
    if (!at.isValid() || at.date().year() < 0 || at.date().year() > 9999)
        return {};
    const int offset = at.offsetFromUtc();
    const int magnitude = offset < 0 ? -offset : offset;
    const QDate date = at.date();
    const QTime time = at.time();
    return FormatC("%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", date.year(), date.month(), date.day(), time.hour(),
                   time.minute(), time.second(), offset < 0 ? '-' : '+', magnitude / 3600, magnitude % 3600 / 60);
}

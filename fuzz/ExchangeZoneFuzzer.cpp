// The exchange clocks: a quote-clock value (a wall-clock time stored as
// this machine's local time) to its true instant on a zone's clock and back,
// an instant to the wall clock and back, and the ISO text of an instant.
// Input: the zone's IANA id (or any text) NUL the value, in decimal; it is
// read both as a quote-clock value and as an instant.
//
// Properties: an empty or unknown zone leaves every value as it is; wall
// clock -> instant -> wall clock is the identity except for a wall-clock
// time the zone skips, which moves forward (by the change, never more than
// a day); instant -> wall clock -> instant is the identity except in an hour
// the zone repeats, which gives the earlier instant of the same wall clock,
// and a wall clock this machine's clock skips; the ISO text names the
// instant's wall clock and offset on the zone's clock.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QTime>
#include <QTimeZone>

#include "FuzzSupport.h"
#include "quote/ExchangeZones.h"

namespace {

// A wall-clock time to the second.
struct Wall {
    long long year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const Wall&) const = default;

    // The wall clock read as if it were UTC: seconds from the epoch's.
    std::int64_t AsUtc() const
    {
        const QDateTime utc(QDate(static_cast<int>(year), month, day), QTime(hour, minute, second), Qt::UTC);
        return static_cast<std::int64_t>(utc.toSecsSinceEpoch());
    }
};

std::optional<Wall> LocalWall(std::int64_t value)
{
    const std::time_t seconds = static_cast<std::time_t>(value);
    std::tm parts{};
    if (!localtime_r(&seconds, &parts))
        return std::nullopt;
    return Wall{parts.tm_year + 1900LL, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

std::optional<Wall> ZoneWall(std::int64_t instant, const QTimeZone& zone)
{
    const QDateTime at = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(instant), zone);
    if (!at.isValid())
        return std::nullopt;
    return Wall{at.date().year(), at.date().month(), at.date().day(),
                at.time().hour(), at.time().minute(), at.time().second()};
}

// True when no instant shows this wall clock on the zone's clock. Offsets
// are sampled hourly over the day and a quarter around it: each applies
// for an hour at least, and none exceeds 14 hours.
bool ZoneSkips(const Wall& wall, const QTimeZone& zone)
{
    const std::int64_t utc = wall.AsUtc();
    for (int hour = -30; hour <= 30; ++hour) {
        const QDateTime sample = QDateTime::fromSecsSinceEpoch(static_cast<qint64>(utc + hour * 3600), Qt::UTC);
        const std::int64_t candidate = utc - zone.offsetFromUtc(sample);
        if (ZoneWall(candidate, zone) == wall)
            return false;
    }
    return true;
}

// Wall clocks this far from the epoch are beyond what the checks can say
// with Qt's and the C library's calendars alike.
constexpr std::int64_t kRange = 200LL * 365 * 86400;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::PinTimeZone();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::string zoneName = input.TakeText();
    const std::string number = input.TakeRest();
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size())
        return 0;

    const bool known = IsKnownZone(zoneName);
    if (!known) {
        // An empty or unknown zone: the machine's own clock, values unchanged.
        FUZZ_CHECK(TrueInstant(value, zoneName) == value);
        const std::optional<std::int64_t> wall = ExchangeWallClock(value, zoneName);
        FUZZ_CHECK(wall && *wall == value);
        return 0;
    }
    const QTimeZone zone(QByteArray::fromStdString(zoneName));
    FUZZ_CHECK(zone.isValid());
    if (value < -kRange || value > kRange)
        return 0;

    // Wall clock -> instant -> wall clock.
    const std::optional<Wall> fields = LocalWall(value);
    FUZZ_CHECK(fields.has_value());
    const std::int64_t instant = TrueInstant(value, zoneName);
    const std::optional<std::int64_t> again = ExchangeWallClock(instant, zoneName);
    FUZZ_CHECK(again.has_value());
    const std::optional<Wall> againFields = LocalWall(*again);
    FUZZ_CHECK(againFields.has_value());
    if (*againFields != *fields) {
        FUZZ_CHECK(ZoneSkips(*fields, zone));
        // Read with the offset before the change: forward, by the change.
        const std::int64_t moved = againFields->AsUtc() - fields->AsUtc();
        FUZZ_CHECK(moved > 0 && moved <= 86400);
    }

    // Instant -> wall clock -> instant.
    const std::optional<std::int64_t> wall = ExchangeWallClock(value, zoneName);
    FUZZ_CHECK(wall.has_value());
    const std::optional<Wall> there = ZoneWall(value, zone);
    FUZZ_CHECK(there.has_value());
    const std::optional<Wall> stored = LocalWall(*wall);
    FUZZ_CHECK(stored.has_value());
    // The quote clock holds the zone's wall clock, unless this machine's
    // clock skips it.
    if (*stored == *there) {
        const std::int64_t back = TrueInstant(*wall, zoneName);
        if (back != value) {
            // A repeated wall clock: the earlier of its instants.
            FUZZ_CHECK(back < value);
            FUZZ_CHECK(ZoneWall(back, zone) == there);
        }
    } else {
        FUZZ_CHECK(ZoneSkips(*there, QTimeZone::systemTimeZone()));
    }

    // The ISO text: the zone's wall clock and offset (to the minute).
    const std::string iso = IsoTimeInZone(value, zoneName);
    if (there->year < 0 || there->year > 9999) {
        FUZZ_CHECK(iso.empty());
        return 0;
    }
    char shown[32];
    std::snprintf(shown, sizeof shown, "%04lld-%02d-%02dT%02d:%02d:%02d", there->year, there->month, there->day,
                  there->hour, there->minute, there->second);
    FUZZ_CHECK(iso.rfind(shown, 0) == 0);
    // Read back, it is the same instant (an offset of odd seconds, as of
    // some zones' local mean time, shows to the minute only).
    const int offset = zone.offsetFromUtc(QDateTime::fromSecsSinceEpoch(static_cast<qint64>(value), Qt::UTC));
    const QDateTime read = QDateTime::fromString(QString::fromStdString(iso), Qt::ISODate);
    FUZZ_CHECK(read.isValid());
    if (offset % 60 == 0)
        FUZZ_CHECK(read.toSecsSinceEpoch() == value);
    return 0;
}

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QTimeZone>

// Where a security trades, by its country: the IANA zone of the exchange's
// clock and the currency its prices are quoted in. One table for every
// country Find Quote Worldwide offers; quote sources that give no zone or
// no currency of their own fall back on it.

struct ExchangeCountry {
    const char* code;      // two letters, as in SecurityRecord::country
    const char* zone;      // IANA zone of the main exchange ("America/Toronto")
    const char* currency;  // the code sources quote in ("CAD"; "GBp" for London's pence)
};

// Every country of the table, in code order.
const std::vector<ExchangeCountry>& ExchangeCountries();

// The entry of a country code (ASCII case ignored, blanks around it too),
// or nullptr for an empty or unknown code.
const ExchangeCountry* FindExchangeCountry(const std::string& code);

// True when the text names a zone this machine's zone database knows.
bool IsKnownZone(const std::string& zone);

// The zone of an IANA id, or an invalid one for an empty or unknown id.
// Looking an id up lists every zone the database holds, and a series
// converts one time per point in one zone: each thread keeps the last one.
QTimeZone ZoneOf(const std::string& zone);

// The quote clock of the system: `instant` (true seconds since the epoch)
// as the wall-clock time it is in `zone`, stored as if that wall-clock time
// were this machine's local time (MakeQuoteTime's reading). An empty or
// unknown zone keeps the machine's own clock, which leaves the instant as
// it is. nullopt when the wall-clock time cannot be represented here.
std::optional<std::int64_t> ExchangeWallClock(std::int64_t instant, const std::string& zone);

// The reverse: the true instant of a quote-clock value whose wall-clock
// time is on `zone`'s clock. An empty or unknown zone reads it as local
// time, which leaves it as it is. A wall-clock time the zone skips is read
// with the offset before the change; one it repeats, as the earlier one.
std::int64_t TrueInstant(std::int64_t wallClock, const std::string& zone);

// `instant` as ISO 8601 on `zone`'s clock with its UTC offset
// ("2026-12-07T09:31:00-05:00"); on this machine's clock for an empty or
// unknown zone. Empty when the instant cannot be shown.
std::string IsoTimeInZone(std::int64_t instant, const std::string& zone);

#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

// Amounts of money without widgets: currency codes and their minor units,
// exchange rates, whole cents and their text. Money that is shown and added
// up is kept in whole cents, so that a total is the exact sum of the cells
// it sums, whatever their order.

// A quote's currency as a major currency and the part of it one unit is:
// "GBp" and "GBX" are pence (GBP, 0.01), "ZAc" is ZAR cents, "ILA" ILS
// agorot; an ISO code is itself with factor 1.
struct CurrencyUnit {
    std::string code;    // ISO 4217 ("GBP")
    double factor = 1;   // the major units one unit of the quote is
    bool operator==(const CurrencyUnit&) const = default;
};

// nullopt, with a reason in `error`, for a text that is no currency code
// this system knows ("unknown currency code \"XYZ\"").
std::optional<CurrencyUnit> ParseCurrencyUnit(const std::string& text, std::string& error);

// Whether a text is an ISO 4217 code of a currency in use (upper case).
bool IsKnownCurrencyCode(const std::string& code);

// Exchange rates between major currencies: the number of `to` units one
// `from` unit buys. A pair is read directly, or as the inverse of the
// reverse pair; no chains through a third currency, so that a shown value
// always rests on a rate that was quoted.
class RateTable {
public:
    void Set(const std::string& from, const std::string& to, double rate);
    void Clear() { m_rates.clear(); }
    // 1 for the same currency; nullopt when neither direction is known.
    std::optional<double> Rate(const std::string& from, const std::string& to) const;
    bool Empty() const { return m_rates.empty(); }
    size_t Size() const { return m_rates.size(); }

private:
    std::map<std::pair<std::string, std::string>, double> m_rates;
};

// The factor that turns an amount in `quoteCurrency` (minor units allowed)
// into `base`: the minor unit's factor times the rate. nullopt, with what is
// missing in `missing`, for an unknown code or a rate the table lacks.
std::optional<double> ConversionFactor(const std::string& quoteCurrency, const std::string& base,
                                       const RateTable& rates, std::string& missing);

// An amount rounded to whole cents, half away from zero. Amounts too large
// for cents (beyond 10^15) give nullopt rather than a wrapped number.
std::optional<std::int64_t> ToCents(double amount);

// Cents as "1234.56" or "-0.05" (C locale, no grouping).
std::string FormatCents(std::int64_t cents);

// A percentage to two places: "12.35", "-3.00".
std::string FormatPercent(double percent);

#include "quote/Money.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "base/CText.h"

namespace {
// ISO 4217 codes of currencies in use, sorted.
constexpr std::array<std::string_view, 154> kCurrencyCodes = {
    "AED", "AFN", "ALL", "AMD", "ANG", "AOA", "ARS", "AUD", "AWG", "AZN", "BAM", "BBD", "BDT", "BGN", "BHD", "BIF",
    "BMD", "BND", "BOB", "BRL", "BSD", "BTN", "BWP", "BYN", "BZD", "CAD", "CDF", "CHF", "CLP", "CNY", "COP", "CRC",
    "CUP", "CVE", "CZK", "DJF", "DKK", "DOP", "DZD", "EGP", "ERN", "ETB", "EUR", "FJD", "FKP", "GBP", "GEL", "GHS",
    "GIP", "GMD", "GNF", "GTQ", "GYD", "HKD", "HNL", "HTG", "HUF", "IDR", "ILS", "INR", "IQD", "IRR", "ISK", "JMD",
    "JOD", "JPY", "KES", "KGS", "KHR", "KMF", "KPW", "KRW", "KWD", "KYD", "KZT", "LAK", "LBP", "LKR", "LRD", "LSL",
    "LYD", "MAD", "MDL", "MGA", "MKD", "MMK", "MNT", "MOP", "MRU", "MUR", "MVR", "MWK", "MXN", "MYR", "MZN", "NAD",
    "NGN", "NIO", "NOK", "NPR", "NZD", "OMR", "PAB", "PEN", "PGK", "PHP", "PKR", "PLN", "PYG", "QAR", "RON", "RSD",
    "RUB", "RWF", "SAR", "SBD", "SCR", "SDG", "SEK", "SGD", "SHP", "SLE", "SOS", "SRD", "SSP", "STN", "SVC", "SYP",
    "SZL", "THB", "TJS", "TMT", "TND", "TOP", "TRY", "TTD", "TWD", "TZS", "UAH", "UGX", "USD", "UYU", "UZS", "VES",
    "VND", "VUV", "WST", "XAF", "XCD", "XOF", "XPF", "YER", "ZAR", "ZMW",
};

struct MinorUnit {
    std::string_view name;
    std::string_view major;
};
// Case matters: "GBp" is pence where "GBP" is pounds.
constexpr std::array<MinorUnit, 5> kMinorUnits = {{
    {"GBp", "GBP"}, {"GBX", "GBP"}, {"ZAc", "ZAR"}, {"ZAC", "ZAR"}, {"ILA", "ILS"},
}};

// Beyond this, cents no longer fit a double's exact integers.
constexpr double kMaxCentsAmount = 1e15;
}  // namespace

bool IsKnownCurrencyCode(const std::string& code)
{
    return std::binary_search(kCurrencyCodes.begin(), kCurrencyCodes.end(), std::string_view(code));
}

std::optional<CurrencyUnit> ParseCurrencyUnit(const std::string& text, std::string& error)
{
    const std::string code = TrimWhitespace(text);
    for (const MinorUnit& unit : kMinorUnits) {
        if (code == unit.name)
            return CurrencyUnit{std::string(unit.major), 0.01};
    }
    if (IsKnownCurrencyCode(code))
        return CurrencyUnit{code, 1};
    error = code.empty() ? std::string("no currency given") : "unknown currency code \"" + code + "\"";
    return std::nullopt;
}

void RateTable::Set(const std::string& from, const std::string& to, double rate)
{
    if (!std::isfinite(rate) || rate <= 0)
        return;
    m_rates[{from, to}] = rate;
}

std::optional<double> RateTable::Rate(const std::string& from, const std::string& to) const
{
    if (from == to)
        return 1.0;
    if (const auto it = m_rates.find({from, to}); it != m_rates.end())
        return it->second;
    if (const auto it = m_rates.find({to, from}); it != m_rates.end())
        return 1.0 / it->second;
    return std::nullopt;
}

std::optional<double> ConversionFactor(const std::string& quoteCurrency, const std::string& base,
                                       const RateTable& rates, std::string& missing)
{
    const std::optional<CurrencyUnit> unit = ParseCurrencyUnit(quoteCurrency, missing);
    if (!unit)
        return std::nullopt;
    const std::optional<double> rate = rates.Rate(unit->code, base);
    if (!rate) {
        missing = "no " + unit->code + " to " + base + " exchange rate yet";
        return std::nullopt;
    }
    return unit->factor * *rate;
}

std::optional<std::int64_t> ToCents(double amount)
{
    if (!std::isfinite(amount) || std::fabs(amount) >= kMaxCentsAmount)
        return std::nullopt;
    // The amount as printed to 9 decimals first, so that 1.005 (stored as
    // 1.00499999...) rounds to 1.01 as a person would expect.
    const double scaled = std::round(amount * 1e9) / 1e7;
    return static_cast<std::int64_t>(std::llround(scaled));
}

std::string FormatCents(std::int64_t cents)
{
    const bool negative = cents < 0;
    // Magnitude in unsigned arithmetic: no overflow at the most negative value.
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
    return FormatC("%s%llu.%02llu", negative ? "-" : "", static_cast<unsigned long long>(magnitude / 100),
                   static_cast<unsigned long long>(magnitude % 100));
}

std::string FormatPercent(double percent)
{
    const std::optional<std::int64_t> hundredths = ToCents(percent);
    return hundredths ? FormatCents(*hundredths) : std::string("—");
}

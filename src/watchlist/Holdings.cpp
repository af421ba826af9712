#include "watchlist/Holdings.h"

#include <charconv>
#include <cmath>
#include <set>

#include "base/CText.h"
#include "quote/ExchangeZones.h"
#include "watchlist/WatchlistCore.h"

namespace {
// A number as a person types it: C locale, or a lone decimal comma
// ("12,5"). Nothing else may follow it.
std::optional<double> ReadNumber(const std::string& text)
{
    std::string number = TrimWhitespace(text);
    if (number.find(',') != std::string::npos) {
        if (number.find('.') != std::string::npos || number.find(',') != number.rfind(','))
            return std::nullopt;
        number[number.find(',')] = '.';
    }
    if (!number.empty() && number.front() == '+')
        number.erase(0, 1);
    double value = 0;
    const char* end = number.data() + number.size();
    const auto [ptr, ec] = std::from_chars(number.data(), end, value);
    if (number.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}
}  // namespace

bool ParseLotQuantity(const std::string& text, double& quantity, std::string& error)
{
    const std::optional<double> value = ReadNumber(text);
    if (!value) {
        error = "quantity \"" + TrimWhitespace(text) + "\" is not a number";
        return false;
    }
    if (*value <= 0) {
        error = "quantity " + TrimWhitespace(text) + " is not above 0";
        return false;
    }
    quantity = *value;
    return true;
}

bool ParseLotPrice(const std::string& text, double& price, std::string& error)
{
    const std::optional<double> value = ReadNumber(text);
    if (!value) {
        error = "price \"" + TrimWhitespace(text) + "\" is not a number";
        return false;
    }
    if (*value < 0) {
        error = "price " + TrimWhitespace(text) + " is below 0";
        return false;
    }
    price = *value;
    return true;
}

bool ParseLotDate(const std::string& text, std::string& date, std::string& error)
{
    const std::string trimmed = TrimWhitespace(text);
    if (trimmed.empty()) {
        date.clear();
        return true;
    }
    bool shaped = trimmed.size() == 10 && trimmed[4] == '-' && trimmed[7] == '-';
    for (size_t i = 0; shaped && i < trimmed.size(); ++i) {
        if (i != 4 && i != 7 && (trimmed[i] < '0' || trimmed[i] > '9'))
            shaped = false;
    }
    if (shaped) {
        const int year = CAtoi(trimmed.substr(0, 4));
        const int month = CAtoi(trimmed.substr(5, 2));
        const int day = CAtoi(trimmed.substr(8, 2));
        static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        if (year >= 1 && month >= 1 && month <= 12 && day >= 1 &&
            day <= kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0)) {
            date = trimmed;
            return true;
        }
    }
    error = "date \"" + trimmed + "\" is not a date written YYYY-MM-DD";
    return false;
}

double TotalQuantity(const std::vector<Lot>& lots)
{
    double total = 0;
    for (const Lot& lot : lots)
        total += lot.quantity;
    return total;
}

std::string FormatQuantity(double quantity)
{
    std::string text = FormatC("%.6f", quantity);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text == "-0" ? std::string("0") : text;
}

std::string FormatLotNumber(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string RowCurrency(const WatchRow& row)
{
    if (row.quote && !row.quote->currency.empty())
        return row.quote->currency;
    const ExchangeCountry* country = FindExchangeCountry(row.security.country);
    return country ? std::string(country->currency) : std::string();
}

namespace {
MoneyCell Amount(double amount, const std::string& what)
{
    MoneyCell cell;
    cell.cents = ToCents(amount);
    if (!cell.cents)
        cell.missing = what + " is too large to show";
    return cell;
}

MoneyCell Missing(const std::string& why)
{
    MoneyCell cell;
    cell.missing = why;
    return cell;
}
}  // namespace

RowMoney ComputeRowMoney(const WatchRow& row, const std::string& base, const RateTable& rates)
{
    RowMoney money;
    if (row.lots.empty())
        return money;
    money.holds = true;
    money.quantity = TotalQuantity(row.lots);
    double paid = 0;
    for (const Lot& lot : row.lots)
        paid += lot.quantity * lot.price;

    std::string missing;
    const std::optional<double> factor = ConversionFactor(RowCurrency(row), base, rates, missing);
    if (!factor) {
        missing = row.security.symbol + ": " + missing;
        money.cost = money.value = money.dayGain = money.totalGain = Missing(missing);
        money.percentMissing = missing;
        return money;
    }
    money.cost = Amount(paid * *factor, "the cost");
    if (!row.quote) {
        const std::string why = row.security.symbol + ": no quote yet";
        money.value = money.dayGain = money.totalGain = Missing(why);
        money.percentMissing = why;
        return money;
    }
    money.value = Amount(money.quantity * row.quote->last * *factor, "the value");
    money.dayGain = Amount(money.quantity * row.quote->change * *factor, "the day's gain");
    if (money.value.cents && money.cost.cents) {
        money.totalGain.cents = *money.value.cents - *money.cost.cents;
        if (*money.cost.cents != 0)
            money.totalGainPercent =
                static_cast<double>(*money.totalGain.cents) / static_cast<double>(*money.cost.cents) * 100.0;
        else
            money.percentMissing = row.security.symbol + ": nothing was paid";
    } else {
        money.totalGain = Missing(money.value.cents ? money.cost.missing : money.value.missing);
        money.percentMissing = money.totalGain.missing;
    }
    return money;
}

MoneyTotals SumRowMoney(const std::vector<RowMoney>& rows)
{
    MoneyTotals totals;
    std::set<std::string> reasons;
    auto add = [&](const MoneyCell& cell, std::int64_t& sum) {
        if (cell.cents) {
            sum += *cell.cents;
        } else {
            totals.incomplete = true;
            if (reasons.insert(cell.missing).second)
                totals.missing.push_back(cell.missing);
        }
    };
    for (const RowMoney& row : rows) {
        if (!row.holds)
            continue;
        ++totals.holdingRows;
        add(row.cost, totals.cost);
        add(row.value, totals.value);
        add(row.dayGain, totals.dayGain);
        add(row.totalGain, totals.totalGain);
    }
    // The reasons in one order whatever the rows' order.
    totals.missing.assign(reasons.begin(), reasons.end());
    // The percentage rests on the rows whose gain is known, with their cost.
    std::int64_t knownCost = 0;
    for (const RowMoney& row : rows) {
        if (row.holds && row.totalGain.cents && row.cost.cents)
            knownCost += *row.cost.cents;
    }
    if (knownCost != 0)
        totals.totalGainPercent = static_cast<double>(totals.totalGain) / static_cast<double>(knownCost) * 100.0;
    return totals;
}

std::string MoneyCellText(const MoneyCell& cell)
{
    return cell.cents ? FormatCents(*cell.cents) : std::string(kMissingMoneyText);
}

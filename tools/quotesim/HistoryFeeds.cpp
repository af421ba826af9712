#include "quotesim/HistoryFeeds.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "quotesim/QuoteFeeds.h"

namespace quotesim {

namespace {

constexpr Date kSplitDate{2021, 6, 14};

Date FirstTradingDayOnOrAfter(Date date)
{
    while (!IsTradingDay(date))
        date = AddDays(date, 1);
    return date;
}

// The price factor of a day as traded against the continuous walk.
double TradedFactor(const std::optional<SimSplit>& split, const Date& date)
{
    return split && date < split->date ? split->ratio : 1.0;
}

SimBar SessionBar(const SecurityProfile& profile, const SessionPath& path, const Date& date, int firstMinute,
                  int lastMinute, double factor)
{
    SimBar bar;
    bar.date = date;
    bar.minuteOfDay = kSessionOpen + firstMinute;
    // A bar opens where the previous one closed (the first at the session's open).
    bar.open = RoundCents(path[static_cast<std::size_t>(std::max(0, firstMinute - 1))] * factor);
    bar.high = bar.low = bar.open;
    for (int minute = firstMinute; minute <= lastMinute; ++minute) {
        const double price = RoundCents(path[static_cast<std::size_t>(minute)] * factor);
        bar.high = std::max(bar.high, price);
        bar.low = std::min(bar.low, price);
        bar.close = price;
    }
    const long long before = firstMinute == 0 ? 0 : VolumeThrough(profile, date, firstMinute - 1);
    bar.volume = static_cast<long long>(std::llround(
        static_cast<double>(VolumeThrough(profile, date, lastMinute) - before) / factor));
    return bar;
}

std::string Iso(const Date& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::int64_t BarInstant(const SimBar& bar)
{
    return UnixSecondsOfEastern(ClockTime{bar.date, bar.minuteOfDay / 60, bar.minuteOfDay % 60});
}

// Weekly bars (Monday's date) from daily ones.
std::vector<SimBar> Weekly(const std::vector<SimBar>& days)
{
    std::vector<SimBar> weeks;
    for (const SimBar& day : days) {
        const Date monday = AddDays(day.date, -((Weekday(day.date) + 6) % 7));
        if (weeks.empty() || weeks.back().date != monday) {
            SimBar week = day;
            week.date = monday;
            weeks.push_back(week);
            continue;
        }
        SimBar& week = weeks.back();
        week.high = std::max(week.high, day.high);
        week.low = std::min(week.low, day.low);
        week.close = day.close;
        week.volume += day.volume;
    }
    return weeks;
}

int IntervalMinutes(std::string_view interval)
{
    static const std::map<std::string_view, int> minutes = {{"1m", 1}, {"5m", 5}, {"15m", 15}, {"30m", 30}, {"60m", 60}};
    const auto found = minutes.find(interval);
    return found == minutes.end() ? 0 : found->second;
}

}  // namespace

std::optional<SimSplit> SplitOf(const SecurityProfile& profile)
{
    if (profile.seed % 4 != 0)
        return std::nullopt;
    return SimSplit{kSplitDate, 2};
}

std::vector<SimDividend> DividendsOf(const SecurityProfile& profile, const Date& from, const Date& to)
{
    std::vector<SimDividend> dividends;
    if (profile.dividendPerShare <= 0)
        return dividends;
    const std::optional<SimSplit> split = SplitOf(profile);
    for (int year = from.year; year <= to.year; ++year)
        for (int month : {2, 5, 8, 11}) {
            const Date date = FirstTradingDayOnOrAfter(Date{year, month, 1});
            if (date < from || to < date)
                continue;
            dividends.push_back({date, RoundCents(profile.dividendPerShare / 4.0 * TradedFactor(split, date))});
        }
    return dividends;
}

Date HistoryStart(const ClockTime& clock)
{
    const Date today = ShownTrade(clock).date;
    return Date{today.year - 10, today.month, std::min(today.day, 28)};
}

std::vector<SimBar> DailyBars(const ListedSecurity& security, const Date& from, const ClockTime& clock)
{
    const SecurityProfile profile = ProfileOf(security);
    const std::optional<SimSplit> split = SplitOf(profile);
    const TradePoint trade = ShownTrade(clock);
    std::vector<SimBar> bars;
    for (Date date = FirstTradingDayOnOrAfter(from); date <= trade.date; date = FirstTradingDayOnOrAfter(AddDays(date, 1))) {
        const int last = date == trade.date ? trade.minuteOfDay - kSessionOpen : kSessionMinutes;
        bars.push_back(SessionBar(profile, SessionPrices(profile, date), date, 0, last, TradedFactor(split, date)));
    }
    return bars;
}

std::vector<SimBar> SplitAdjusted(const SecurityProfile& profile, std::vector<SimBar> bars)
{
    const std::optional<SimSplit> split = SplitOf(profile);
    for (SimBar& bar : bars) {
        const double factor = TradedFactor(split, bar.date);
        if (factor == 1.0)
            continue;
        for (double* price : {&bar.open, &bar.high, &bar.low, &bar.close})
            *price = RoundCents(*price / factor);
        bar.volume = static_cast<long long>(std::llround(static_cast<double>(bar.volume) * factor));
    }
    return bars;
}

std::vector<SimBar> IntradayBars(const ListedSecurity& security, int sessions, int interval, const ClockTime& clock)
{
    const SecurityProfile profile = ProfileOf(security);
    const std::optional<SimSplit> split = SplitOf(profile);
    const TradePoint trade = ShownTrade(clock);
    std::vector<Date> days{trade.date};
    while (static_cast<int>(days.size()) < sessions)
        days.insert(days.begin(), PreviousTradingDay(days.front()));
    std::vector<SimBar> bars;
    for (const Date& date : days) {
        const SessionPath path = SessionPrices(profile, date);
        const int last = date == trade.date ? trade.minuteOfDay - kSessionOpen : kSessionMinutes - 1;
        for (int first = 0; first <= last; first += interval)
            bars.push_back(SessionBar(profile, path, date, first, std::min(last, first + interval - 1),
                                      TradedFactor(split, date)));
    }
    return bars;
}

std::optional<Date> RangeStart(std::string_view range, const Date& today)
{
    auto monthsBack = [&today](int months) {
        const int index = today.year * 12 + (today.month - 1) - months;
        return Date{index / 12, index % 12 + 1, std::min(today.day, 28)};
    };
    if (range == "5d")
        return AddDays(today, -7);
    if (range == "1mo")
        return monthsBack(1);
    if (range == "3mo")
        return monthsBack(3);
    if (range == "6mo")
        return monthsBack(6);
    if (range == "ytd")
        return Date{today.year, 1, 1};
    if (range == "1y")
        return monthsBack(12);
    if (range == "2y")
        return monthsBack(24);
    if (range == "5y")
        return monthsBack(60);
    if (range == "10y" || range == "max")
        return monthsBack(120);
    return std::nullopt;
}

FeedReply ChartHistoryReply(const ListedSecurity& security, std::string_view range, std::string_view interval,
                            const ClockTime& clock)
{
    const SecurityProfile profile = ProfileOf(security);
    const Date today = ShownTrade(clock).date;
    std::vector<SimBar> bars;
    bool daily = true;
    if (const int minutes = IntervalMinutes(interval); minutes > 0 && (range == "1d" || range == "5d")) {
        bars = IntradayBars(security, range == "1d" ? 1 : 5, minutes, clock);
        daily = false;
    } else if (interval == "1d" || interval == "1wk") {
        const std::optional<Date> start = RangeStart(range, today);
        if (!start)
            return FeedReply{400, "application/json;charset=utf-8",
                             ChartBadRequestJson("Invalid input - range " + std::string(range))};
        bars = DailyBars(security, std::max(*start, HistoryStart(clock)), clock);
        if (interval == "1wk")
            bars = Weekly(bars);
    } else {
        return FeedReply{400, "application/json;charset=utf-8",
                         ChartBadRequestJson("Invalid input - interval " + std::string(interval))};
    }

    // Dividend- and split-adjusted closes: each dividend scales the closes
    // before it by (1 - amount / the close before it); the split by 1/ratio.
    const Date first = bars.empty() ? today : bars.front().date;
    const std::vector<SimDividend> dividends = DividendsOf(profile, first, today);
    const std::optional<SimSplit> split = SplitOf(profile);
    std::vector<double> factors(bars.size(), 1.0);
    double factor = 1.0;
    auto dividend = dividends.rbegin();
    for (std::size_t i = bars.size(); i-- > 0;) {
        factors[i] = factor;
        if (!daily)
            continue;
        if (dividend != dividends.rend() && i > 0 && bars[i - 1].date < dividend->date && !(bars[i].date < dividend->date)) {
            factor *= 1.0 - dividend->amount / bars[i - 1].close;
            ++dividend;
        }
        if (split && i > 0 && bars[i - 1].date < split->date && !(bars[i].date < split->date))
            factor /= split->ratio;
    }

    std::vector<std::string> times, opens, highs, lows, closes, volumes, adjcloses;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const SimBar& bar = bars[i];
        times.push_back(std::to_string(BarInstant(bar)));
        opens.push_back(FormatNumber(bar.open));
        highs.push_back(FormatNumber(bar.high));
        lows.push_back(FormatNumber(bar.low));
        closes.push_back(FormatNumber(bar.close));
        volumes.push_back(std::to_string(bar.volume));
        adjcloses.push_back(FormatNumber(std::round(bar.close * factors[i] * 1e6) / 1e6));
    }

    std::string events;
    if (daily) {
        std::string dividendItems, splitItems;
        for (const SimDividend& item : dividends) {
            const std::string when = std::to_string(UnixSecondsOfEastern(ClockTime{item.date, 9, 30}));
            dividendItems += (dividendItems.empty() ? "" : ",") + ("\"" + when + "\":{\"amount\":" +
                             FormatNumber(item.amount) + ",\"date\":" + when + "}");
        }
        if (split && first <= split->date && split->date <= today) {
            const std::string when = std::to_string(UnixSecondsOfEastern(ClockTime{split->date, 9, 30}));
            splitItems = "\"" + when + "\":{\"date\":" + when + ",\"numerator\":" + std::to_string(split->ratio) +
                         ",\"denominator\":1,\"splitRatio\":\"" + std::to_string(split->ratio) + ":1\"}";
        }
        events = ",\"events\":{\"dividends\":{" + dividendItems + "},\"splits\":{" + splitItems + "}}";
    }

    std::string json = "{\"chart\":{\"result\":[{\"meta\":{\"currency\":\"USD\",\"symbol\":\"" + ChartSymbolOf(security) +
                       "\",\"exchangeTimezoneName\":\"America/New_York\",\"dataGranularity\":\"" +
                       std::string(interval) + "\",\"range\":\"" + std::string(range) + "\"},";
    AppendArray(json, "timestamp", times);
    json += events;
    json += ",\"indicators\":{\"quote\":[{";
    AppendArray(json, "open", opens);
    json += ',';
    AppendArray(json, "high", highs);
    json += ',';
    AppendArray(json, "low", lows);
    json += ',';
    AppendArray(json, "close", closes);
    json += ',';
    AppendArray(json, "volume", volumes);
    json += "}]";
    if (daily) {
        json += ",\"adjclose\":[{";
        AppendArray(json, "adjclose", adjcloses);
        json += "}]";
    }
    json += "}}],\"error\":null}}";
    return FeedReply{200, "application/json;charset=utf-8", json};
}

FeedReply CsvHistoryReply(const std::optional<ListedSecurity>& security, const ClockTime& clock)
{
    if (!security)
        return FeedReply{200, "text/csv", "No data"};
    const std::vector<SimBar> bars =
        SplitAdjusted(ProfileOf(*security), DailyBars(*security, HistoryStart(clock), clock));
    std::string csv = "Date,Open,High,Low,Close,Volume\r\n";
    for (const SimBar& bar : bars)
        csv += Iso(bar.date) + "," + FormatNumber(bar.open) + "," + FormatNumber(bar.high) + "," +
               FormatNumber(bar.low) + "," + FormatNumber(bar.close) + "," + std::to_string(bar.volume) + "\r\n";
    return FeedReply{200, "text/csv", csv};
}

}  // namespace quotesim

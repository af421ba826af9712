#include "quotesim/PriceModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quotesim {

namespace {
std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

std::uint64_t HashText(std::string_view text)
{
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

// A reproducible random number for (security, purpose, index).
std::uint64_t Key(std::uint64_t seed, std::uint64_t purpose, std::int64_t index)
{
    return Mix(seed ^ Mix(purpose * 0x100000001b3ULL + static_cast<std::uint64_t>(index)));
}

// [0, 1)
double Unit(std::uint64_t bits)
{
    return static_cast<double>(bits >> 11) * 0x1.0p-53;
}

// [-1, 1)
double Signed(std::uint64_t bits)
{
    return Unit(bits) * 2.0 - 1.0;
}

enum Purpose : std::uint64_t {
    kAnchor = 1,
    kHighPriced,
    kDrift,
    kNoise,
    kStep,
    kVolume,
    kShares,
    kPe,
    kLoss,
    kForward,
    kRoe,
    kDividend,
    kPayout,
    kGap,
    kPath,
    kKnot,
    kDayNoise,
    kDayVolume,
    kRangeHigh,
    kRangeLow,
};

constexpr int kKnotDays = 20;

bool IsFundSymbol(const std::string& symbol)
{
    return symbol.size() == 5 && symbol.back() == 'X' &&
           std::all_of(symbol.begin(), symbol.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

double RoundTenths(double value)
{
    return std::round(value * 10.0) / 10.0;
}

// Minute weights of the session: trading is busiest near open and close.
double MinuteWeight(int minute)
{
    const double x = (minute - 195.5) / 195.0;
    return 1.0 + 2.0 * x * x;
}

double TotalWeight()
{
    static const double total = [] {
        double sum = 0;
        for (int minute = 1; minute <= kSessionMinutes; ++minute)
            sum += MinuteWeight(minute);
        return sum;
    }();
    return total;
}

std::string Signed2(double value, const char* suffix)
{
    std::string text = FormatFixed(value, 2);
    if (value > 0)
        text.insert(text.begin(), '+');
    return text + suffix;
}
}  // namespace

SecurityProfile ProfileOf(const ListedSecurity& security)
{
    SecurityProfile p;
    p.seed = HashText(security.country + ":" + security.symbol);
    p.fund = IsFundSymbol(security.symbol);
    const double u = Unit(Key(p.seed, kAnchor, 0));
    if (p.fund)
        p.anchor = 8.0 + 52.0 * u;
    else if (security.country == "GB")
        p.anchor = 60.0 + 3400.0 * u * u;  // pence
    else if (security.country == "CA")
        p.anchor = 1.5 + 78.0 * u * u;
    else if (Unit(Key(p.seed, kHighPriced, 0)) < 0.05)
        p.anchor = 900.0 + 900.0 * u;
    else
        p.anchor = 4.0 + 340.0 * u * u;

    p.driftAmplitude = p.fund ? 0.02 : 0.04 + 0.06 * Unit(Key(p.seed, kDrift, 0));
    p.dailyNoise = p.fund ? 0.004 : 0.008 + 0.01 * Unit(Key(p.seed, kNoise, 0));
    p.minuteVolatility = p.fund ? 0.0001 : 0.0006 + 0.0008 * Unit(Key(p.seed, kStep, 0));
    p.avgVolume = security.listVolume > 0
                      ? security.listVolume
                      : 50'000 + static_cast<long long>(5'000'000 * Unit(Key(p.seed, kVolume, 0)));
    const double shares = Unit(Key(p.seed, kShares, 0));
    p.sharesOutstanding = std::round(20e6 + 3e9 * shares * shares);

    const double pe = 9.0 + 26.0 * Unit(Key(p.seed, kPe, 0));
    const bool loss = Unit(Key(p.seed, kLoss, 0)) < 0.15;
    p.earningsPerShare = RoundCents(loss ? -p.anchor * (0.01 + 0.05 * Unit(Key(p.seed, kLoss, 1))) : p.anchor / pe);
    if (p.earningsPerShare == 0)
        p.earningsPerShare = loss ? -0.01 : 0.01;
    p.forwardEarnings = RoundCents(p.earningsPerShare * (0.9 + 0.3 * Unit(Key(p.seed, kForward, 0))));
    p.returnOnEquity =
        RoundCents(loss ? -(5.0 + 35.0 * Unit(Key(p.seed, kRoe, 0))) : 4.0 + 30.0 * Unit(Key(p.seed, kRoe, 0)));
    if (!loss && Unit(Key(p.seed, kPayout, 0)) < 0.6)
        p.dividendPerShare =
            std::max(0.01, RoundCents(p.anchor * (0.005 + 0.04 * Unit(Key(p.seed, kDividend, 0)))));
    return p;
}

double DayClose(const SecurityProfile& profile, const Date& date)
{
    // A slow wander between knots every few weeks, plus a jitter per day;
    // both bounded, so prices stay near the security's level for ever.
    const std::int64_t day = DaysFromCivil(date);
    const std::int64_t knot = day >= 0 ? day / kKnotDays : -((-day + kKnotDays - 1) / kKnotDays);
    const double fraction = static_cast<double>(day - knot * kKnotDays) / kKnotDays;
    const double smooth = fraction * fraction * (3.0 - 2.0 * fraction);
    const double from = Signed(Key(profile.seed, kKnot, knot));
    const double to = Signed(Key(profile.seed, kKnot, knot + 1));
    const double slow = from + (to - from) * smooth;
    const double noise = Signed(Key(profile.seed, kDayNoise, day));
    return profile.anchor * (1.0 + profile.driftAmplitude * slow + profile.dailyNoise * noise);
}

SessionPath SessionPrices(const SecurityProfile& profile, const Date& date)
{
    const std::int64_t day = DaysFromCivil(date);
    const double previous = DayClose(profile, PreviousTradingDay(date));
    const double close = DayClose(profile, date);
    const double open = previous * (1.0 + 0.006 * Signed(Key(profile.seed, kGap, day)));

    // A random walk pinned to the open and the close (a bridge).
    std::array<double, kSessionMinutes + 1> walk{};
    std::uint64_t state = Key(profile.seed, kPath, day);
    const double step = std::sqrt(3.0) * profile.minuteVolatility;  // uniform steps of that deviation
    for (int minute = 1; minute <= kSessionMinutes; ++minute) {
        state = Mix(state);
        walk[static_cast<std::size_t>(minute)] = walk[static_cast<std::size_t>(minute) - 1] + step * Signed(state);
    }
    SessionPath path{};
    const double end = walk[kSessionMinutes];
    for (int minute = 0; minute <= kSessionMinutes; ++minute) {
        const double share = static_cast<double>(minute) / kSessionMinutes;
        const double trend = open + (close - open) * share;
        const double wiggle = walk[static_cast<std::size_t>(minute)] - share * end;
        path[static_cast<std::size_t>(minute)] = std::max(0.01, trend * (1.0 + wiggle));
    }
    path[kSessionMinutes] = std::max(0.01, close);
    return path;
}

namespace {
double DayVolume(const SecurityProfile& profile, const Date& date)
{
    return static_cast<double>(profile.avgVolume) *
           (0.6 + 0.8 * Unit(Key(profile.seed, kDayVolume, DaysFromCivil(date))));
}

// Volume through a minute whose weights from minute 1 on add up to `weight`:
// an opening print, then the rest spread over the session.
long long VolumeOfWeight(double dayVolume, double weight)
{
    return std::llround(dayVolume * (0.03 + 0.97 * weight / TotalWeight()));
}
}  // namespace

long long VolumeThrough(const SecurityProfile& profile, const Date& date, int sessionMinute)
{
    double weight = 0;
    for (int minute = 1; minute <= std::clamp(sessionMinute, 0, kSessionMinutes); ++minute)
        weight += MinuteWeight(minute);
    return VolumeOfWeight(DayVolume(profile, date), weight);
}

std::vector<long long> VolumesThrough(const SecurityProfile& profile, const Date& date, int lastSessionMinute)
{
    // The weights are added in VolumeThrough's order, so each volume is the same to the bit.
    const double dayVolume = DayVolume(profile, date);
    const int last = std::clamp(lastSessionMinute, 0, kSessionMinutes);
    std::vector<long long> volumes;
    volumes.reserve(static_cast<std::size_t>(last) + 1);
    double weight = 0;
    for (int minute = 0; minute <= last; ++minute) {
        if (minute > 0)
            weight += MinuteWeight(minute);
        volumes.push_back(VolumeOfWeight(dayVolume, weight));
    }
    return volumes;
}

double RoundCents(double value)
{
    const double rounded = std::round(value * 100.0) / 100.0;
    return rounded == 0 ? 0.0 : rounded;  // no negative zero
}

QuoteSnapshot ComputeQuote(const ListedSecurity& security, const ClockTime& clock)
{
    const SecurityProfile profile = ProfileOf(security);
    QuoteSnapshot q;
    q.security = security;
    q.trade = ShownTrade(clock);
    const SessionPath path = SessionPrices(profile, q.trade.date);
    const int minute = q.trade.minuteOfDay - kSessionOpen;

    q.open = RoundCents(path[0]);
    q.last = RoundCents(path[static_cast<std::size_t>(minute)]);
    q.dayHigh = q.open;
    q.dayLow = q.open;
    for (int i = 1; i <= minute; ++i) {
        const double price = RoundCents(path[static_cast<std::size_t>(i)]);
        q.dayHigh = std::max(q.dayHigh, price);
        q.dayLow = std::min(q.dayLow, price);
    }
    q.prevClose = RoundCents(DayClose(profile, PreviousTradingDay(q.trade.date)));
    q.change = RoundCents(q.last - q.prevClose);
    q.changePercent = q.prevClose > 0 ? RoundCents(q.change / q.prevClose * 100.0) : 0.0;
    const double tick = std::max(0.01, RoundCents(q.last * 0.0004));
    q.bid = RoundCents(std::max(0.01, q.last - tick));
    q.ask = RoundCents(q.last + tick);

    const double reach = profile.driftAmplitude + profile.dailyNoise + 0.03;
    q.week52High = std::max(q.dayHigh, RoundCents(profile.anchor * (1.0 + reach + 0.05 * Unit(Key(profile.seed, kRangeHigh, 0)))));
    q.week52Low = std::min(q.dayLow, RoundCents(profile.anchor * (1.0 - reach - 0.05 * Unit(Key(profile.seed, kRangeLow, 0)))));

    q.volume = VolumeThrough(profile, q.trade.date, minute);
    q.avgVolume = profile.avgVolume;

    q.earningsPerShare = profile.earningsPerShare;
    q.hasEarnings = profile.earningsPerShare > 0;
    q.peRatio = q.hasEarnings ? RoundTenths(q.last / profile.earningsPerShare) : 0.0;
    q.forwardPE = profile.forwardEarnings > 0 ? RoundTenths(q.last / profile.forwardEarnings) : 0.0;
    q.returnOnEquity = profile.returnOnEquity;
    q.paysDividend = profile.dividendPerShare > 0;
    q.dividendPerShare = profile.dividendPerShare;
    q.dividendYield = q.paysDividend ? RoundCents(profile.dividendPerShare / q.last * 100.0) : 0.0;

    q.lastTradeTime = FormatTradeTime(q.trade.minuteOfDay);
    q.changeText = Signed2(q.change, "");
    q.changePercentText = Signed2(q.changePercent, "%");
    q.volumeText = GroupThousands(q.volume);
    q.avgVolumeText = GroupThousands(q.avgVolume);
    // London prices are in pence; capitalisation is in pounds.
    const double unit = security.country == "GB" ? 0.01 : 1.0;
    q.marketCapText = FormatLargeCount(q.last * unit * profile.sharesOutstanding);
    q.totalSharesText = FormatLargeCount(profile.sharesOutstanding);
    return q;
}

std::string FormatFixed(double value, int decimals)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

std::string GroupThousands(long long value)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return value < 0 ? "-" + grouped : grouped;
}

std::string FormatGroupedPrice(double value)
{
    const std::string plain = FormatFixed(std::fabs(value), 2);
    const std::size_t point = plain.find('.');
    std::string grouped = GroupThousands(std::stoll(plain.substr(0, point))) + plain.substr(point);
    return value < 0 ? "-" + grouped : grouped;
}

std::string FormatLargeCount(double value)
{
    if (value >= 1e9)
        return FormatFixed(value / 1e9, 2) + " Bil";
    if (value >= 1e6)
        return FormatFixed(value / 1e6, 2) + " Mil";
    return GroupThousands(std::llround(value));
}

}  // namespace quotesim

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "quotesim/SimClock.h"

// The simulated market: every number is a pure function of the security's
// country and symbol, the date and the minute, so that a test can predict
// each page the simulator serves.
namespace quotesim {

// A security the simulator quotes.
struct ListedSecurity {
    std::string country;      // "US", "CA", "GB", ...
    std::string symbol;       // upper case
    std::string company;
    std::string market;       // market code of the list it came from; empty when made up
    long long listVolume = 0; // volume field of its list line; 0 when there is none
};

// Fixed traits of a security, derived from its country and symbol.
struct SecurityProfile {
    std::uint64_t seed = 0;
    bool fund = false;           // five letters ending in X: a mutual fund
    double anchor = 0;           // typical price level
    double driftAmplitude = 0;   // slow wander of the daily close, as a fraction
    double dailyNoise = 0;       // day-to-day jitter of the close, as a fraction
    double minuteVolatility = 0; // intraday step size, as a fraction
    long long avgVolume = 0;
    double sharesOutstanding = 0;
    double earningsPerShare = 0;     // cents; negative for a loss
    double forwardEarnings = 0;
    double returnOnEquity = 0;       // percent
    double dividendPerShare = 0;     // per year; 0 when none is paid
};

SecurityProfile ProfileOf(const ListedSecurity& security);

// Closing price of a day (before rounding).
double DayClose(const SecurityProfile& profile, const Date& date);

// The session of a trading day minute by minute: element 0 is the opening
// trade at 9:30, element 390 the close at 16:00 (before rounding). The walk
// rises and falls on its way from the open (a small gap away from the
// previous close) to the day's close.
using SessionPath = std::array<double, kSessionMinutes + 1>;
SessionPath SessionPrices(const SecurityProfile& profile, const Date& date);

// Shares traded from the open through a minute of the session.
long long VolumeThrough(const SecurityProfile& profile, const Date& date, int sessionMinute);
// VolumeThrough for every minute from the open through the given one, in one pass.
std::vector<long long> VolumesThrough(const SecurityProfile& profile, const Date& date, int lastSessionMinute);

// Price rounded to cents, as every page shows it.
double RoundCents(double value);

// Everything the quote pages show for one security at one clock time.
// Numbers are as shown (rounded), so a page reader converts the texts back
// to exactly these values.
struct QuoteSnapshot {
    ListedSecurity security;
    TradePoint trade;  // the delayed trade shown
    int delayMinutes = kDelayMinutes;

    double last = 0;
    double prevClose = 0;
    double open = 0;
    double dayHigh = 0;
    double dayLow = 0;
    double change = 0;         // last - prevClose
    double changePercent = 0;  // of prevClose
    double bid = 0;
    double ask = 0;
    double week52High = 0;
    double week52Low = 0;
    long long volume = 0;
    long long avgVolume = 0;

    bool hasEarnings = false;  // false: P/E and forward P/E show "NA"
    double earningsPerShare = 0;
    double peRatio = 0;        // one decimal; 0 when "NA"
    double forwardPE = 0;      // one decimal; 0 when "NA"
    double returnOnEquity = 0;
    bool paysDividend = false; // false: dividend and yield show "NA"
    double dividendPerShare = 0;
    double dividendYield = 0;  // percent

    // Texts exactly as the pages carry them.
    std::string lastTradeTime;      // "4:05 PM"
    std::string changeText;         // "+0.25", "-0.25", "0.00"
    std::string changePercentText;  // "+0.71%", "-0.71%", "0.00%"
    std::string volumeText;         // "1,234,567"
    std::string avgVolumeText;
    std::string marketCapText;      // "12.34 Bil", "456.70 Mil"
    std::string totalSharesText;

    bool Rising() const { return change >= 0; }
};

QuoteSnapshot ComputeQuote(const ListedSecurity& security, const ClockTime& clock);

// Locale-independent formatting used by the pages.
std::string FormatFixed(double value, int decimals);
std::string GroupThousands(long long value);
// "1,234.50"
std::string FormatGroupedPrice(double value);
// "12.34 Bil" / "456.70 Mil" / "12,345"
std::string FormatLargeCount(double value);

}  // namespace quotesim

#include "window/QuoteLog.h"

#include <cstdint>

#include <sys/stat.h>
#include <unistd.h>

#include "base/CText.h"
#include "base/MessageBox.h"
#include "base/PosixFile.h"

static_assert(sizeof(std::time_t) >= sizeof(std::int64_t),
              "quote times are 64-bit and must convert to time_t unchanged");

namespace {

constexpr const char* kLogFolder = kQuoteLogFolder;

// A row is about 60 characters plus the change text; numbers wider than
// usual only cost an occasional regrowth.
constexpr std::size_t kRowEstimate = 72;

bool CanEnter(const char* folder)
{
    struct stat info {};
    return ::stat(folder, &info) == 0 && S_ISDIR(info.st_mode) && ::access(folder, X_OK) == 0;
}

}  // namespace

DayTime LocalDayTime(std::int64_t time)
{
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm parts{};
    if (!localtime_r(&t, &parts))
        return {};
    return {static_cast<long long>(parts.tm_year) + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour,
            parts.tm_min};
}

std::string QuoteLogHeader()
{
    return "\n" + std::string(kQuoteLogColumns) + "\n\n";
}

std::string FormatQuoteLogRow(const QuoteRecord& quote)
{
    const DayTime when = LocalDayTime(quote.quoteTime);
    return FormatC("%02d/%02d/%04lld\t%02d:%02d\t%02.2f\t%s\t%02.2f\t%02.2f\t%02.2f\t%02.2f\t%02.2f\t%02.2f\n",
                   when.month, when.day, when.year, when.hour, when.minute, quote.last,
                   quote.change.c_str(), quote.dayHigh, quote.dayLow, quote.peRatio, quote.ask,
                   quote.bid, quote.beta);
}

std::string FormatQuoteLog(const std::vector<QuoteRecord>& history)
{
    tzset();
    std::string text = QuoteLogHeader();
    std::size_t size = text.size();
    for (const QuoteRecord& quote : history)
        size += kRowEstimate + quote.change.size();
    text.reserve(size);
    for (const QuoteRecord& quote : history)
        text += FormatQuoteLogRow(quote);
    return text;
}

std::string QuoteLogFileName(const std::string& symbol, std::time_t now)
{
    tzset();
    return QuoteLogFileName(symbol, LocalDayTime(now));
}

std::string QuoteLogFileName(const std::string& symbol, const DayTime& today)
{
    // Appended rather than formatted, so that a NUL inside the symbol stays in
    // the name (and is refused there) instead of silently cutting it short.
    return FormatC("%02d_%02d_%04lld_", today.month, today.day, today.year) +
           ToLowerAscii(symbol) + ".txt";
}

std::string ExistingQuoteLogDirectory()
{
    return CanEnter(kLogFolder) ? kLogFolder : "";
}

std::string QuoteLogDirectory()
{
    if (CanEnter(kLogFolder))
        return kLogFolder;
    ::mkdir(kLogFolder, 0777);
    return CanEnter(kLogFolder) ? kLogFolder : "";
}

bool WriteQuoteLogFile(const std::string& symbol, const std::vector<QuoteRecord>& history,
                       std::time_t now)
{
    const std::string name = QuoteLogFileName(symbol, now);
    const std::string text = FormatQuoteLog(history);
    if (WriteFileAtomically(QuoteLogDirectory(), name, text))
        return true;
    ShowMessage(FormatC("Can not open an output file \"%s\".", name.c_str()));
    return false;
}

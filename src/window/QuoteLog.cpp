#include "window/QuoteLog.h"

#include <cerrno>
#include <cstdint>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/CText.h"
#include "framework/MessageBox.h"

static_assert(sizeof(std::time_t) >= sizeof(std::int64_t),
              "quote times are 64-bit and must convert to time_t unchanged");

namespace {

constexpr char kLogFolder[] = "Stockdata";

// A row is about 60 characters plus the change text; numbers wider than
// usual only cost an occasional regrowth.
constexpr std::size_t kRowEstimate = 72;

// Local-time breakdown of `time`. The year is kept in 64 bits: tm_year + 1900
// overflows int for the last representable years.
struct LocalDate {
    long long year = 0;
    int month = 0;
    int day = 0;
    int hour = -1;
    int minute = -1;
};

bool BreakDown(std::int64_t time, LocalDate& out)
{
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm parts{};
    if (!localtime_r(&t, &parts))
        return false;
    out.year = static_cast<long long>(parts.tm_year) + 1900;
    out.month = parts.tm_mon + 1;
    out.day = parts.tm_mday;
    out.hour = parts.tm_hour;
    out.minute = parts.tm_min;
    return true;
}

bool CanEnter(const char* folder)
{
    struct stat info {};
    return ::stat(folder, &info) == 0 && S_ISDIR(info.st_mode) && ::access(folder, X_OK) == 0;
}

bool WriteAll(int fd, const std::string& text)
{
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0)
            return false;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

// A file created next to the day's file that only becomes the day's file
// through Commit(); otherwise it is removed when the object goes.
class PendingFile {
public:
    explicit PendingFile(const std::string& folder)
    {
        std::random_device random;
        const std::string prefix = folder.empty() ? std::string() : folder + "/";
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            std::string path = prefix + FormatC(".quote-log-%ld-%u.tmp",
                                                static_cast<long>(::getpid()), random());
            m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd >= 0)
                m_path = std::move(path);
            else if (errno != EEXIST)
                break;
        }
    }

    ~PendingFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }

    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }

    // Gives the file the permission bits of the one it is about to replace.
    void TakeModeOf(const std::string& target)
    {
        struct stat info {};
        if (::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            ::fchmod(m_fd, info.st_mode & 07777);
    }

    bool Write(const std::string& text)
    {
        if (!WriteAll(m_fd, text))
            return false;
        // On disk before the rename, so a crash cannot leave an empty day's file.
        return ::fsync(m_fd) == 0 || errno == EINVAL;
    }

    bool Commit(const std::string& target)
    {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            return false;
        if (::rename(m_path.c_str(), target.c_str()) != 0)
            return false;
        m_path.clear();
        return true;
    }

private:
    int m_fd = -1;
    std::string m_path;
};

// The rename would replace a day's file that the user made read-only, which
// opening it for writing would have refused.
bool IsWriteProtected(const std::string& target)
{
    return ::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0 &&
           errno == EACCES;
}

bool IsPlainFileName(const std::string& name)
{
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

bool WriteDayFile(const std::string& folder, const std::string& name, const std::string& text)
{
    if (!IsPlainFileName(name))
        return false;
    const std::string target = folder.empty() ? name : folder + "/" + name;
    if (IsWriteProtected(target))
        return false;
    PendingFile file(folder);
    if (!file.IsOpen())
        return false;
    file.TakeModeOf(target);
    return file.Write(text) && file.Commit(target);
}

}  // namespace

std::string QuoteLogHeader()
{
    return "\nDate\t\tTime\tCurrent\tChange\t\tHigh\tLow\tP/E\tAsk\tBid\tBeta\n\n";
}

std::string FormatQuoteLogRow(const QuoteRecord& quote)
{
    LocalDate when;
    if (!BreakDown(quote.quoteTime, when))
        when = LocalDate{};
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
    LocalDate today;
    if (!BreakDown(now, today))
        today = LocalDate{};
    // Appended rather than formatted, so that a NUL inside the symbol stays in
    // the name (and is refused there) instead of silently cutting it short.
    return FormatC("%02d_%02d_%04lld_", today.month, today.day, today.year) +
           ToLowerAscii(symbol) + ".txt";
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
    if (WriteDayFile(QuoteLogDirectory(), name, text))
        return true;
    ShowMessage(FormatC("Can not open an output file \"%s\".", name.c_str()));
    return false;
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "framework/MessageBox.h"
#include "framework/WaitCursor.h"
#include "markets/MarketListLocation.h"
#include "markets/MarketTable.h"
#include "markets/QuoteDirectory.h"
#include "markets/SymbolList.h"

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_fd = other.m_fd;
            other.m_fd = -1;
        }
        return *this;
    }

    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    void Close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd;
};

// Opens the path for reading when it is a regular file. Non-blocking open so
// that a FIFO of that name cannot hang the interface; it is refused anyway.
FileDescriptor OpenRegularFile(const std::string& path)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!file.IsOpen())
        return file;
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        file.Close();
    return file;
}

// The first of the list folders that has the file, under the letter-case rule.
FileDescriptor OpenSymbolList(const std::string& fileName)
{
    const std::string path = MarketListLocation(fileName);
    return path.empty() ? FileDescriptor() : OpenRegularFile(path);
}

// Reads up to `capacity` bytes; false on a read error.
bool ReadUpTo(int fd, char* buffer, std::size_t capacity, std::size_t& total)
{
    total = 0;
    while (total < capacity) {
        const ssize_t got = ::read(fd, buffer + total, capacity - total);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            break;
        total += static_cast<std::size_t>(got);
    }
    return true;
}

// The markets' country codes have two letters; a copy of a known length is
// made in place, without a call to copy bytes, for every one of the rows.
std::string CountryText(std::string_view country)
{
    return country.size() == 2 ? std::string(country.data(), 2) : std::string(country);
}

// A row built straight into the array's storage from its fields: each text
// is copied once, with no empty record made first and then assigned.
class RowFromFields {
public:
    RowFromFields(const SymbolListFields& fields, std::string_view country, const SecurityRecord& defaults)
        : m_fields(fields), m_country(country), m_defaults(defaults)
    {
    }

    operator SecurityRecord() const  // NOLINT: converts where the array builds its element
    {
        return SecurityRecord{.writeToFile = m_defaults.writeToFile,
                              .easternTime = m_defaults.easternTime,
                              .refreshMinutes = m_defaults.refreshMinutes,
                              .country = CountryText(m_country),
                              .symbol = std::string(m_fields.symbol),
                              .company = std::string(m_fields.company),
                              .volumeText = std::string(m_fields.volume),
                              .listed = std::string(m_fields.listed)};
    }

private:
    const SymbolListFields& m_fields;
    std::string_view m_country;
    const SecurityRecord& m_defaults;
};

// Fills the rows in file order. Records already in the array are
// overwritten in place, so that loading again into the same array reuses
// their strings instead of freeing and allocating them all.
void FillRows(std::string_view text, const MarketInfo& market, const SecurityRecord& defaults, SecurityArray& rows)
{
    const std::size_t reused = rows.size();
    std::size_t filled = 0;
    ForEachSymbolListRow(text, [&](const SymbolListFields& fields) {
        if (filled++ >= reused) {
            rows.emplace_back(RowFromFields(fields, market.country, defaults));
            return;
        }
        SecurityRecord& row = rows[filled - 1];
        row.writeToFile = defaults.writeToFile;
        row.easternTime = defaults.easternTime;
        row.refreshMinutes = defaults.refreshMinutes;
        row.country.assign(market.country);
        row.company.assign(fields.company);
        row.symbol.assign(fields.symbol);
        row.volumeText.assign(fields.volume);
        row.listed.assign(fields.listed);
    });
    if (filled < reused)
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(filled), rows.end());
}

}  // namespace

bool CQuoteDirectory::LoadMarketList(const std::string& marketCode, SecurityArray& rows)
{
    const std::string fileName = MarketFileName(marketCode);
    FileDescriptor file = OpenSymbolList(fileName);
    if (!file.IsOpen()) {
        ShowMessage("Can not open a file \"" + fileName + "\".");
        return false;
    }

    // Shown from the successful open to the end of the load; ended before
    // any message.
    std::optional<CWaitCursor> waitCursor(std::in_place);
    const auto reportNoMemory = [&] {
        waitCursor.reset();
        ShowMessage("Can not allocate memory for a file \"" + fileName + "\".");
        return false;
    };

    // One read of the whole text into one buffer; untouched pages of the
    // buffer cost nothing, so it is simply the largest size ever read.
    std::unique_ptr<char[]> buffer;
    try {
        buffer = std::make_unique_for_overwrite<char[]>(kSymbolListMaxBytes);
    } catch (const std::bad_alloc&) {
        return reportNoMemory();
    }
    std::size_t size = 0;
    const bool readOk = ReadUpTo(file.Get(), buffer.get(), kSymbolListMaxBytes, size);
    file.Close();
    if (!readOk) {
        // A list cut short by a read error would look complete: refuse it.
        waitCursor.reset();
        ShowMessage("Can not open a file \"" + fileName + "\".");
        return false;
    }

    // The row scanner ends the text at its first NUL byte.
    const std::string_view text(buffer.get(), size);
    const MarketInfo* market = FindMarketByCode(marketCode);
    if (market == nullptr) {
        // The code is only checked against a row; a file without rows loads
        // as an empty list whatever its code.
        rows.clear();
        SymbolListFields firstRow;
        if (!SymbolListRowScanner(text).Next(firstRow))
            return true;
        waitCursor.reset();
        ShowMessage("Unknown Market Name");
        return false;
    }

    // Room for the most rows the text can hold: the rows are stored in one
    // pass, without counting them first and without moving them.
    try {
        rows.reserve(MaxSymbolListRows(text.size()));
    } catch (const std::bad_alloc&) {
        return reportNoMemory();
    }
    try {
        FillRows(text, *market, m_recDefault, rows);
    } catch (const std::bad_alloc&) {
        // Half-overwritten rows would mix two loads: drop them.
        rows.clear();
        return reportNoMemory();
    }
    // A text of mostly short lines leaves most of that room unused.
    if (rows.size() < rows.capacity() / 2)
        rows.shrink_to_fit();
    return true;
}

#include "marketdata/LoadMarketList.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/CText.h"
#include "base/MessageBox.h"
#include "base/PosixFile.h"
#include "base/WaitCursor.h"
#include "marketdata/MarketListLocation.h"
#include "marketdata/MarketTable.h"
#include "marketdata/SymbolList.h"

namespace {

// The first of the list folders that has the file, under the letter-case rule.
FileDescriptor OpenSymbolList(const std::string& fileName)
{
    const std::string path = MarketListLocation(fileName);
    return path.empty() ? FileDescriptor() : OpenRegularFile(path);
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

bool LoadMarketList(const std::string& marketCode, const SecurityRecord& defaults, SecurityArray& rows)
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
        FillRows(text, *market, defaults, rows);
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

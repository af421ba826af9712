#include "watchlist/HoldingsCsv.h"

#include <algorithm>
#include <array>
#include <optional>

#include "base/CText.h"
#include "watchlist/WatchlistCore.h"

namespace {
enum Column { kSymbol, kCountry, kQuantity, kPrice, kDate, kColumnCount };
constexpr std::array<const char*, kColumnCount> kNames = {"symbol", "country", "quantity", "price", "date"};

// One line's cells; quotes may hold the delimiter.
std::vector<std::string> SplitCells(const std::string& line, char delimiter)
{
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cells.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == delimiter) {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    for (std::string& cell : cells)
        cell = TrimWhitespace(cell);
    return cells;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    // A byte-order mark before the header is no part of its first name.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::string Quote(const std::string& cell)
{
    if (cell.find_first_of(",\"\r\n;") == std::string::npos)
        return cell;
    std::string quoted = "\"";
    for (char c : cell)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}
}  // namespace

HoldingsCsv ParseHoldingsCsv(const std::string& text)
{
    HoldingsCsv result;
    const std::vector<std::string> lines = Lines(text);
    size_t headerAt = 0;
    while (headerAt < lines.size() && TrimWhitespace(lines[headerAt]).empty())
        ++headerAt;
    if (headerAt == lines.size()) {
        result.problems.push_back("the file is empty: a header row (symbol, quantity, price, ...) is needed");
        return result;
    }
    const std::string& header = lines[headerAt];
    const char delimiter = header.find(';') != std::string::npos && header.find(',') == std::string::npos ? ';' : ',';
    std::array<int, kColumnCount> at;
    at.fill(-1);
    const std::vector<std::string> names = SplitCells(header, delimiter);
    for (size_t i = 0; i < names.size(); ++i) {
        for (int column = 0; column < kColumnCount; ++column) {
            if (EqualsIgnoringAsciiCase(names[i], kNames[static_cast<size_t>(column)]) && at[column] < 0)
                at[column] = static_cast<int>(i);
        }
    }
    for (int column : {kSymbol, kQuantity, kPrice}) {
        if (at[column] < 0)
            result.problems.push_back(FormatC("line %d: the header names no \"%s\" column", static_cast<int>(headerAt + 1),
                                              kNames[static_cast<size_t>(column)]));
    }
    if (!result.problems.empty())
        return result;
    int needed = 0;
    for (int index : at)
        needed = std::max(needed, index + 1);

    for (size_t i = headerAt + 1; i < lines.size(); ++i) {
        if (TrimWhitespace(lines[i]).empty())
            continue;
        const int number = static_cast<int>(i + 1);
        const std::vector<std::string> cells = SplitCells(lines[i], delimiter);
        auto problem = [&](const std::string& what) {
            result.problems.push_back(FormatC("line %d: ", number) + what);
        };
        // The date may be left off the end of a line; every other named cell is needed.
        int required = 0;
        for (int column : {kSymbol, kCountry, kQuantity, kPrice})
            required = std::max(required, at[column] + 1);
        if (static_cast<int>(cells.size()) < required) {
            problem(FormatC("too few cells (%d of %d)", static_cast<int>(cells.size()), needed));
            continue;
        }
        auto cell = [&](int column) {
            const int index = at[column];
            return index >= 0 && index < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(index)]
                                                                        : std::string();
        };
        ImportedLot imported;
        imported.line = number;
        const std::string country = cell(kCountry);
        const std::string entry = country.empty() ? cell(kSymbol) : country + ":" + cell(kSymbol);
        std::string error;
        if (!ParseWatchEntry(entry, imported.security)) {
            problem("\"" + entry + "\" is not a symbol (SYMBOL, with a two-letter country or none)");
            continue;
        }
        if (!ParseLotQuantity(cell(kQuantity), imported.lot.quantity, error) ||
            !ParseLotPrice(cell(kPrice), imported.lot.price, error) ||
            !ParseLotDate(cell(kDate), imported.lot.date, error)) {
            problem(error);
            continue;
        }
        result.lots.push_back(std::move(imported));
    }
    return result;
}

std::string ImportPreviewText(const HoldingsCsv& csv)
{
    std::vector<std::string> securities;
    for (const ImportedLot& imported : csv.lots) {
        const std::string key = WatchSecurityKey(imported.security);
        if (std::find(securities.begin(), securities.end(), key) == securities.end())
            securities.push_back(key);
    }
    std::string text = FormatC("%d lot%s of %d securit%s will be added.", static_cast<int>(csv.lots.size()),
                               csv.lots.size() == 1 ? "" : "s", static_cast<int>(securities.size()),
                               securities.size() == 1 ? "y" : "ies");
    if (!csv.problems.empty()) {
        text += FormatC("\n%d line%s cannot be read and will be left out:", static_cast<int>(csv.problems.size()),
                        csv.problems.size() == 1 ? "" : "s");
        for (const std::string& problem : csv.problems)
            text += "\n" + problem;
    }
    return text;
}

std::string HoldingsToCsv(const std::vector<WatchRow>& rows)
{
    std::string text = "symbol,country,quantity,price,date\n";
    for (const WatchRow& row : rows) {
        for (const Lot& lot : row.lots) {
            text += Quote(row.security.symbol) + "," + Quote(row.security.country) + "," +
                    FormatLotNumber(lot.quantity) + "," + FormatLotNumber(lot.price) + "," + lot.date + "\n";
        }
    }
    return text;
}

int AddImportedLots(std::vector<WatchRow>& rows, const std::vector<ImportedLot>& lots)
{
    int added = 0;
    for (const ImportedLot& imported : lots) {
        auto it = std::find_if(rows.begin(), rows.end(),
                               [&](const WatchRow& row) { return SameSecurity(row.security, imported.security); });
        if (it == rows.end()) {
            WatchRow row;
            row.security = imported.security;
            rows.push_back(std::move(row));
            it = rows.end() - 1;
            ++added;
        }
        it->lots.push_back(imported.lot);
    }
    return added;
}

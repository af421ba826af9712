#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Which security each day file belongs to. A day file's name holds the
// symbol only, so one symbol listed in two countries would share a file;
// this index, kept in the user's data folder, says whose each file is
// without changing the files. A missing or damaged index (or line) only
// means that a file's owner is not known.

struct DayFileOwner {
    std::string country;
    std::string symbol;
};

// The same security: the country and symbol alike, ignoring ASCII case (the
// file name lower-cases the symbol).
bool SameOwner(const DayFileOwner& a, const DayFileOwner& b);

// "day-files.index" in the user's data folder (QStandardPaths::AppDataLocation).
std::string DefaultDayFileIndexPath();

// The key a day file goes by in the index: its absolute path with links
// and "." / ".." resolved, so two working folders reaching the same file
// agree.
std::string DayFileIndexKey(const std::string& dayFilePath);

class DayFileIndex {
public:
    // Reads the index at the path as it is now; lines that cannot be read
    // are skipped, a missing or unreadable file is an empty index.
    static DayFileIndex Load(const std::string& indexPath);

    std::optional<DayFileOwner> OwnerOf(const std::string& dayFilePath) const;

    // Records the owner of the day file (recorded at `now`) and writes the
    // whole index atomically, creating its folder; entries recorded more
    // than a week before `now` go, as only the day's own files are ever
    // written to. False when the index could not be written (or the owner
    // holds a tab or line feed).
    bool Record(const std::string& dayFilePath, const DayFileOwner& owner, std::int64_t now);

private:
    struct Entry {
        std::int64_t recorded = 0;
        DayFileOwner owner;
        std::string key;
    };

    std::string m_path;
    std::vector<Entry> m_entries;
};

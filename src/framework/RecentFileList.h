#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The recent-file list: entry texts, most recent first. Adding an entry puts
// it at the head, removes an equal entry further down (letters compared
// without regard to case) and drops whatever lies beyond the size limit.
// Storage is the application's business (CWinApp keeps it in the per-user
// settings); this class only orders the entries.
class CRecentFileList {
public:
    explicit CRecentFileList(std::size_t maxSize);

    // An empty text is not an entry and is ignored.
    void Add(const std::string& entry);
    // Removes the entry at the index; an index out of range is ignored.
    void Remove(std::size_t index);
    // Replaces the entries with stored ones, keeping their order; empty and
    // repeated texts are skipped, and the list is cut at its size limit.
    void Assign(const std::vector<std::string>& entries);

    const std::vector<std::string>& Entries() const { return m_entries; }
    std::size_t GetSize() const { return m_entries.size(); }
    std::size_t GetMaxSize() const { return m_maxSize; }
    bool IsEmpty() const { return m_entries.empty(); }
    const std::string& operator[](std::size_t index) const { return m_entries.at(index); }

    // The comparison the list uses: equal when equal after ASCII lower-casing.
    static bool SameEntry(const std::string& a, const std::string& b);

private:
    std::size_t m_maxSize;
    std::vector<std::string> m_entries;
};

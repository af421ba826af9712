#include "framework/RecentFileList.h"

#include <algorithm>

#include "base/CText.h"

CRecentFileList::CRecentFileList(std::size_t maxSize) : m_maxSize(maxSize) {}

bool CRecentFileList::SameEntry(const std::string& a, const std::string& b)
{
    return EqualsIgnoringAsciiCase(a, b);
}

void CRecentFileList::Add(const std::string& entry)
{
    if (entry.empty() || m_maxSize == 0)
        return;
    auto same = [&entry](const std::string& e) { return SameEntry(e, entry); };
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(), same), m_entries.end());
    m_entries.insert(m_entries.begin(), entry);
    if (m_entries.size() > m_maxSize)
        m_entries.resize(m_maxSize);
}

void CRecentFileList::Remove(std::size_t index)
{
    if (index < m_entries.size())
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
}

void CRecentFileList::Assign(const std::vector<std::string>& entries)
{
    m_entries.clear();
    for (const auto& entry : entries) {
        if (m_entries.size() >= m_maxSize)
            break;
        if (entry.empty())
            continue;
        bool seen = std::any_of(m_entries.begin(), m_entries.end(),
                                [&entry](const std::string& e) { return SameEntry(e, entry); });
        if (!seen)
            m_entries.push_back(entry);
    }
}

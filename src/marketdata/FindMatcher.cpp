#include "marketdata/FindMatcher.h"

#include <cstring>

#include "base/CText.h"

namespace {
// The rest of the needle (after its first byte) matches at pos + 1.
bool TailMatches(const char* pos, std::string_view needle)
{
    for (std::size_t i = 1; i < needle.size(); ++i)
        if (ToLowerAscii(pos[i]) != needle[i])
            return false;
    return true;
}

bool Search(std::string_view haystack, std::string_view needle, char firstLower, char firstUpper)
{
    if (needle.empty())
        return true;
    if (needle.size() > haystack.size())
        return false;
    const char* pos = haystack.data();
    const char* const lastStart = pos + (haystack.size() - needle.size());
    if (firstLower == firstUpper) {
        // Not a letter: let memchr skip to each candidate.
        while (pos <= lastStart) {
            const void* found = std::memchr(pos, firstLower, static_cast<std::size_t>(lastStart - pos) + 1);
            if (found == nullptr)
                return false;
            pos = static_cast<const char*>(found);
            if (TailMatches(pos, needle))
                return true;
            ++pos;
        }
        return false;
    }
    for (; pos <= lastStart; ++pos) {
        const char c = *pos;
        if ((c == firstLower || c == firstUpper) && TailMatches(pos, needle))
            return true;
    }
    return false;
}
}  // namespace

FindMatcher::FindMatcher(std::string_view text) : m_lowered(text)
{
    for (char& c : m_lowered)
        c = ToLowerAscii(c);
    if (!m_lowered.empty()) {
        m_firstLower = m_lowered.front();
        m_firstUpper = ToUpperAscii(m_firstLower);
    }
}

bool FindMatcher::Contains(std::string_view haystack) const
{
    return Search(haystack, m_lowered, m_firstLower, m_firstUpper);
}

bool ContainsIgnoringAsciiCase(std::string_view haystack, std::string_view loweredNeedle)
{
    if (loweredNeedle.empty())
        return true;
    const char first = loweredNeedle.front();
    return Search(haystack, loweredNeedle, first, ToUpperAscii(first));
}

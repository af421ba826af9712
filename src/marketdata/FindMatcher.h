#pragma once

#include <string>
#include <string_view>

// Finding rows by a part of the company name or the symbol: a substring
// match, anywhere, ignoring ASCII letter case (other bytes compare as they
// are). The text is matched as given: no trimming, so spaces must match too;
// an empty text matches every row.
class FindMatcher {
public:
    explicit FindMatcher(std::string_view text);

    // The find text, lower-cased; what the "not found" message shows.
    const std::string& LoweredText() const { return m_lowered; }

    bool Contains(std::string_view haystack) const;
    bool Matches(std::string_view company, std::string_view symbol) const
    {
        return Contains(company) || Contains(symbol);
    }

private:
    std::string m_lowered;
    char m_firstLower = 0;
    char m_firstUpper = 0;
};

// True when the needle, already lower-cased, occurs in the haystack compared
// without regard to ASCII letter case. Makes no copy of the haystack.
bool ContainsIgnoringAsciiCase(std::string_view haystack, std::string_view loweredNeedle);

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "quote/FindText.h"

namespace {
constexpr auto npos = std::string::npos;
}

TEST(FindText, EdgesAsStringFind)
{
    const std::string text = "abcabc";
    EXPECT_EQ(FindText(text, ""), 0u);
    EXPECT_EQ(FindText(text, "", 6), 6u);
    EXPECT_EQ(FindText(text, "", 7), npos);
    EXPECT_EQ(FindText(text, "c", 3), 5u);
    EXPECT_EQ(FindText(text, "abc", 1), 3u);
    EXPECT_EQ(FindText(text, "abc", 4), npos);
    EXPECT_EQ(FindText(text, "abcabcx"), npos);
    EXPECT_EQ(FindText(text, "x", 100), npos);
    EXPECT_EQ(FindText("", "a"), npos);
}

TEST(FindText, FindsTheFirstMatchAcrossBlocks)
{
    // Matches at every offset of a long text, near and across the 16-, 32-
    // and 64-byte steps, with many false starts before them.
    for (std::size_t at = 0; at < 300; ++at) {
        std::string text(400, '<');
        const std::string needle = "<tr class=\"rs0\">";
        text.replace(at, needle.size(), needle);
        text.replace(at + 40 < 380 ? at + 40 : 0, 3, "<t>");
        ASSERT_EQ(FindText(text, needle), text.find(needle)) << at;
        ASSERT_EQ(FindText(text, needle, at), at) << at;
        ASSERT_EQ(FindText(text, needle, at + 1), text.find(needle, at + 1)) << at;
    }
}

TEST(FindText, AgreesWithStringFindOnRandomTexts)
{
    // A small alphabet makes partial matches, and first and last bytes that
    // fit while the middle does not, common.
    const char alphabet[] = {'<', '>', 'a', 'b', '/', '"'};
    std::uint32_t state = 4242;
    const auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string text(next() % 260, ' ');
        for (char& c : text)
            c = alphabet[next() % sizeof alphabet];
        std::string needle(1 + next() % 6, ' ');
        for (char& c : needle)
            c = alphabet[next() % sizeof alphabet];
        const std::size_t from = next() % (text.size() + 3);
        ASSERT_EQ(FindText(text, needle, from), text.find(needle, from))
            << "text '" << text << "' needle '" << needle << "' from " << from;
    }
}

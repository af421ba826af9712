#include <gtest/gtest.h>

#include "quote/PageDownloader.h"

namespace {

std::string Cut(const std::string& page, const std::string& before, const std::string& marker,
                const std::string& terminator, int count = 1)
{
    return CPageDownloader::ExtractField(page, before, marker, terminator, count);
}

// The value between marker "[" and terminator "]", decoded.
std::string Decode(const std::string& raw)
{
    return Cut("[" + raw + "]", "", "[", "]");
}

}  // namespace

TEST(ExtractFieldSearch, EmptyBeforeSearchesMarkerFromPageStart)
{
    EXPECT_EQ(Cut("<b>1</b><b>2</b>", "", "<b>", "</b>"), "1");
}

TEST(ExtractFieldSearch, MarkerIsSearchedFromBeforeText)
{
    const std::string page = "<td>Open</td><td>9</td><td>Bid</td><td>7</td>";
    EXPECT_EQ(Cut(page, "Bid", "<td>", "</td>"), "7");
}

TEST(ExtractFieldSearch, MarkerInsideBeforeTextMatchesThere)
{
    // The marker search starts at the before text's first byte, not after it.
    EXPECT_EQ(Cut("xx>P/E 12</td> 1\">99</td>", ">P/E", ">", "</td>"), "P/E 12");
}

TEST(ExtractFieldSearch, MissingBeforeTextGivesEmpty)
{
    EXPECT_EQ(Cut("<b>1</b>", "Volume", "<b>", "</b>"), "");
}

TEST(ExtractFieldSearch, MissingMarkerOrTerminatorGivesEmpty)
{
    EXPECT_EQ(Cut("Volume <b>1", "Volume", "<b>", "</b>"), "");
    EXPECT_EQ(Cut("Volume 1</b>", "Volume", "<b>", "</b>"), "");
}

TEST(ExtractFieldSearch, TerminatorOnlyBeforeMarkerGivesEmpty)
{
    EXPECT_EQ(Cut("</b> Volume <b>12", "Volume", "<b>", "</b>"), "");
}

TEST(ExtractFieldSearch, TerminatorIsSearchedFromMarkerStart)
{
    // The terminator "b>" starts inside the marker "<b>": the value is empty.
    EXPECT_EQ(Cut("x <b>12</b>", "", "<b>", "b>"), "");
    // A terminator starting right at the marker's end gives an empty value.
    EXPECT_EQ(Cut("x <b></b>", "", "<b>", "</b>"), "");
}

TEST(ExtractFieldSearch, FirstOccurrencesWinAndSearchIsCaseSensitive)
{
    const std::string page = "volume <i>1</i> Volume <i>2</i> Volume <i>3</i>";
    EXPECT_EQ(Cut(page, "Volume", "<i>", "</i>"), "2");
    EXPECT_EQ(Cut(page, "VOLUME", "<i>", "</i>"), "");
}

TEST(ExtractFieldSearch, SecondOccurrenceContinuesFromFirstTerminator)
{
    const std::string page = "High <i>1</i> High <i>2</i> High <i>3</i>";
    EXPECT_EQ(Cut(page, "High", "<i>", "</i>", 2), "2");
    EXPECT_EQ(Cut(page, "High", "<i>", "</i>", 3), "3");
    EXPECT_EQ(Cut(page, "High", "<i>", "</i>", 4), "");
    // Without a before text the marker itself is searched again.
    EXPECT_EQ(Cut("<i>a</i><i>b</i>", "", "<i>", "</i>", 2), "b");
}

TEST(ExtractFieldSearch, CountBelowOneGivesEmpty)
{
    EXPECT_EQ(Cut("<i>a</i>", "", "<i>", "</i>", 0), "");
    EXPECT_EQ(Cut("<i>a</i>", "", "<i>", "</i>", -3), "");
}

TEST(ExtractFieldSearch, HugeCountOnAStandingMatchEnds)
{
    // Empty marker and terminator match where the search stands: every round
    // gives the same empty cut, which must not take billions of rounds.
    EXPECT_EQ(Cut("abc", "", "", "", 2147483647), "");
}

TEST(ExtractFieldSearch, BytesAreKeptExactly)
{
    const std::string page = std::string("k=\x01\xFF\xE4\x00z;", 8);
    EXPECT_EQ(Cut(page, "", "k=", ";"), std::string("\x01\xFF\xE4\x00z", 5));
}

TEST(ExtractFieldDecoding, EachCharacterReference)
{
    EXPECT_EQ(Decode("a&#34;b"), "a\"b");
    EXPECT_EQ(Decode("a&#33;b"), "a!b");
    EXPECT_EQ(Decode("a&#36;b"), "a$b");
    EXPECT_EQ(Decode("a&#37;b"), "a%b");
    EXPECT_EQ(Decode("a&#38;b"), "a&b");
    EXPECT_EQ(Decode("a&#45;b"), "a-b");
    EXPECT_EQ(Decode("a&#46;b"), "a.b");
    EXPECT_EQ(Decode("a&#47;b"), "a/b");
    EXPECT_EQ(Decode("a&#60;b"), "a<b");
    EXPECT_EQ(Decode("a&#62;b"), "a>b");
    EXPECT_EQ(Decode("a&#160;b"), "a b");
    EXPECT_EQ(Decode("a&#247;b"), "a-b");
    EXPECT_EQ(Decode("20&deg;C"), "20\xB0" "C");
}

TEST(ExtractFieldDecoding, EveryOccurrenceIsReplaced)
{
    EXPECT_EQ(Decode("&#36;1&#46;5&#160;&#36;2"), "$1.5 $2");
}

TEST(ExtractFieldDecoding, OtherReferencesStay)
{
    EXPECT_EQ(Decode("AT&amp;T&nbsp;Inc&#39;s &#x41; &Deg;"), "AT&amp;T&nbsp;Inc&#39;s &#x41; &Deg;");
    EXPECT_EQ(Decode("<b>12</b>"), "<b>12</b>");
}

TEST(ExtractFieldDecoding, StepsRunInOrderAndSeeEarlierResults)
{
    // Step 7 makes "&#160;", which step 13 then turns into a space.
    EXPECT_EQ(Decode("x&#38;#160;y"), "x y");
    // Step 7 makes "&#36;" only after step 5 has run, so it stays.
    EXPECT_EQ(Decode("&#38;#36;"), "&#36;");
    // A decoded "&" does not start a new reference for its own step.
    EXPECT_EQ(Decode("&#38;#38;"), "&#38;");
    // "&#160;" spaces come after the doubled-space step: they are not merged.
    EXPECT_EQ(Decode("a&#160;&#160;b"), "a  b");
}

TEST(ExtractFieldDecoding, DoubledSpacesInOneLeftToRightPass)
{
    EXPECT_EQ(Decode("a    b"), "a  b");
    EXPECT_EQ(Decode("a   b"), "a  b");
    EXPECT_EQ(Decode("a  b"), "a b");
    // Line feeds become spaces after the doubled spaces were merged.
    EXPECT_EQ(Decode("a \n b"), "a   b");
}

TEST(ExtractFieldDecoding, TrimsWhiteSpaceButKeepsInnerCarriageReturns)
{
    EXPECT_EQ(Decode("  12.50\r\n"), "12.50");
    EXPECT_EQ(Decode("\t\v\f 7 \f\v\t"), "7");
    EXPECT_EQ(Decode("1\r2"), "1\r2");
    EXPECT_EQ(Decode(" &#160; "), "");
}

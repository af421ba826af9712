#include <gtest/gtest.h>

#include "window/SecurityEntry.h"

namespace {

SecurityEntry Parse(const std::string& text)
{
    const std::optional<SecurityEntry> entry = ParseSecurityEntry(text);
    EXPECT_TRUE(entry.has_value()) << text;
    return entry.value_or(SecurityEntry{});
}

void ExpectEntry(const std::string& text, const std::string& country, const std::string& symbol,
                 const std::string& company)
{
    const SecurityEntry entry = Parse(text);
    EXPECT_EQ(entry.country, country) << text;
    EXPECT_EQ(entry.symbol, symbol) << text;
    EXPECT_EQ(entry.company, company) << text;
}

TEST(SecurityEntry, MarketsMapToCountries)
{
    ExpectEntry("Acme Corp (NYSE, ACME)", "US", "ACME", "Acme Corp");
    ExpectEntry("Acme Corp (AMEX, ACME)", "US", "ACME", "Acme Corp");
    ExpectEntry("Acme Corp (NASDAQ, ACME)", "US", "ACME", "Acme Corp");
    ExpectEntry("Acme Fund (MUTUAL, ACMFX)", "US", "ACMFX", "Acme Fund");
    ExpectEntry("Acme Corp (TSX, ACME)", "CA", "ACME", "Acme Corp");
    ExpectEntry("Acme Corp (CVE, ACME)", "CA", "ACME", "Acme Corp");
    ExpectEntry("Acme plc (LSE, ACME)", "LSE", "ACME", "Acme plc");
    ExpectEntry("Acme plc (GB, ACME)", "GB", "ACME", "Acme plc");
    // Exact and case-sensitive; the market text is not trimmed.
    ExpectEntry("Acme Corp (nyse, ACME)", "nyse", "ACME", "Acme Corp");
    ExpectEntry("Acme Corp ( NYSE, ACME)", " NYSE", "ACME", "Acme Corp");
}

TEST(SecurityEntry, EmptyCompanyAndOddSymbols)
{
    ExpectEntry(" (US, IBM)", "US", "IBM", "");
    // The last character is taken for the closing parenthesis, whatever it is.
    ExpectEntry("Acme Corp (US, ACME)x", "US", "ACME)", "Acme Corp");
    ExpectEntry("Acme Corp (US, ACMEX", "US", "ACME", "Acme Corp");
    // The last comma separates: a company with commas keeps them.
    ExpectEntry("Acme, Inc. (US, ACME)", "US", "ACME", "Acme, Inc.");
    // A comma right before the end leaves an empty symbol.
    ExpectEntry("Acme (US,)", "US", "", "Acme");
    ExpectEntry("Acme (US,", "US", "", "Acme");
    // A comma before the parenthesis: the market is empty.
    ExpectEntry("A, B (US)", "", "B (US", "A, B");
    // A symbol with a colon from Find Quote Worldwide.
    ExpectEntry(" (CA, A:B)", "CA", "A:B", "");
}

TEST(SecurityEntry, BackslashesSeparateFolders)
{
    ExpectEntry("C:\\Quotes\\Acme Corp (NYSE, ACME)", "US", "ACME", "Acme Corp");
    // A backslash after the parenthesis leaves the company empty.
    ExpectEntry("Acme Corp (US, A\\B)", "US", "A\\B", "");
}

TEST(SecurityEntry, AnAbsolutePathIsReadFromItsFileName)
{
    ExpectEntry("/home/user/Acme Corp (NYSE, ACME)", "US", "ACME", "Acme Corp");
    // Folders with commas and parentheses do not matter.
    ExpectEntry("/home/user/Old, (quotes)/Acme Corp (TSX, ACME)", "CA", "ACME", "Acme Corp");
    // An entry text is not a path: a slash in it stays.
    ExpectEntry("Foo/Bar Inc (US, BF/B)", "US", "BF/B", "Foo/Bar Inc");
}

TEST(SecurityEntry, NoCommaOrNoParenthesisNamesNothing)
{
    EXPECT_FALSE(ParseSecurityEntry("").has_value());
    EXPECT_FALSE(ParseSecurityEntry("Acme Corp (US ACME)").has_value());
    EXPECT_FALSE(ParseSecurityEntry("Acme Corp, US, ACME").has_value());
    EXPECT_FALSE(ParseSecurityEntry("/home/user, (x)/notes.txt").has_value());
    EXPECT_FALSE(ParseSecurityEntry("/").has_value());
}

TEST(SecurityEntry, FormatAndParseRoundTrip)
{
    SecurityRecord record;
    record.company = "Acme Corp";
    record.country = "CA";
    record.symbol = "ACME";
    EXPECT_EQ(FormatSecurityEntry(record), "Acme Corp (CA, ACME)");
    ExpectEntry(FormatSecurityEntry(record), "CA", "ACME", "Acme Corp");
    record.company.clear();
    EXPECT_EQ(FormatSecurityEntry(record), " (CA, ACME)");
}

TEST(SecurityEntry, ACompanyWithParenthesesKeepsThem)
{
    ExpectEntry("Acme (Canada) Ltd (TSX, ACM)", "CA", "ACM", "Acme (Canada) Ltd");
    ExpectEntry("C:\\Quotes\\Acme (Canada) Ltd (TSX, ACM)", "CA", "ACM", "Acme (Canada) Ltd");
    ExpectEntry("/home/user/Acme (Canada), Ltd (CA, ACM)", "CA", "ACM", "Acme (Canada), Ltd");
    SecurityRecord record;
    record.company = "Beta (Holdings) (Europe) plc";
    record.country = "GB";
    record.symbol = "BHE";
    ExpectEntry(FormatSecurityEntry(record), "GB", "BHE", "Beta (Holdings) (Europe) plc");
}

}  // namespace

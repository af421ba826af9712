#pragma once

#include <optional>
#include <string>

#include "quote/SecurityRecord.h"

// A quote window's entry in the recent-file list names its security as
// "<company> (<market or country>, <symbol>)". Reopening an entry, or a file
// chosen in the Open dialog whose name has that form, reads the security
// back from the text alone; no file is ever read.

// The security named by an entry.
struct SecurityEntry {
    std::string country;
    std::string symbol;
    std::string company;
};

// The entry text of a record: "%s (%s, %s)" from company, country, symbol.
std::string FormatSecurityEntry(const SecurityRecord& record);

// The country code of a market text: NYSE, AMEX, NASDAQ and MUTUAL are "US",
// CVE and TSX are "CA" (exact, case-sensitive); any other text is its own code.
std::string CountryOfMarket(const std::string& market);

// Reads an entry text or a path:
//  - an absolute path ("/" first) is reduced to its file name, the text after
//    its last "/", so the folders it passes through never matter;
//  - the symbol is the text after the last "," up to, not including, the last
//    character (the closing parenthesis), trimmed;
//  - the opening parenthesis is the last "(" before that "," (so a company
//    name may hold parentheses), or, when there is none before it, the
//    first "(" of the text;
//  - the market is the text between that "(" and that ",", untrimmed,
//    mapped by CountryOfMarket;
//  - the company is the text between the last "\" (or the start) and that
//    "(", trimmed.
// A part whose end lies before its start is empty. Nothing without a "," or
// without a "(" names a security.
std::optional<SecurityEntry> ParseSecurityEntry(const std::string& text);

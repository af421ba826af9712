#pragma once

#include <string>

#include "quote/QuoteRecord.h"

// What one quote page yields: the quote, with every field the layout does
// not carry left 0 or empty, and the company name the page shows (empty when
// the layout carries none).
struct ParsedQuotePage {
    QuoteRecord quote;
    std::string companyName;
};

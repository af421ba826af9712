#pragma once

#include <string>
#include <string_view>

#include "quotesim/PriceModel.h"

// The HTML of the simulated quote services. Each quote page carries every
// marker its layout is read by, inside ordinary page furniture (navigation,
// search form, headings, footnotes) that holds none of those markers.
namespace quotesim {

// "/detail/stock_quote?Symbol=[CC:]SYM"
std::string MsnQuotePage(const QuoteSnapshot& quote);
std::string MsnNoSuchSymbolPage(std::string_view requested);

// "/quote/quote.html?symb=SYM"
std::string CnnQuotePage(const QuoteSnapshot& quote);
std::string CnnNoSuchSymbolPage(std::string_view requested);

std::string NotFoundPage(std::string_view path);

// Text for HTML, written with the numeric references the page readers decode.
std::string HtmlText(std::string_view text);

}  // namespace quotesim

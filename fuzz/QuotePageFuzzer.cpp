// Cutting both quote page layouts out of an arbitrary page.
// Input: the page itself, read as either layout.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <stdexcept>
#include <string>

#include "FuzzSupport.h"
#include "quote/CnnQuotePage.h"
#include "quote/MsnQuotePage.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::PinTimeZone();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string page(reinterpret_cast<const char*>(data), size);
    // Friday 15 March 2024, 12:00 UTC: a fixed "today" for the trade time.
    constexpr std::time_t kNow = 1710504000;

    try {
        const auto msn = ParseMsnQuotePage(page, kNow);
        // A page holds data only where the last price's marker is.
        FUZZ_CHECK(!msn || page.find("piprop=\"3\" >") != std::string::npos);
    } catch (const std::invalid_argument&) {
        // A trade time that cannot be represented: documented, the refresh fails.
    }

    const auto cnn = ParseCnnQuotePage(page);
    // No price cell of either kind, no data.
    FUZZ_CHECK(!cnn || page.find("class=quoteprice>") != std::string::npos ||
               page.find("class=quotetext>") != std::string::npos);
    if (cnn) {
        // This layout carries neither a trade time nor a company name.
        FUZZ_CHECK(cnn->quote.quoteTime == 0);
        FUZZ_CHECK(cnn->companyName.empty());
    }
    return 0;
}

// Reading quote source definition documents, and the URLs of what they define.
// Input: the document's bytes. What is read writes back to a document that
// reads the same, the exchange zone's path and the currency's rules included.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "base/CText.h"
#include "quote/ExchangeZones.h"
#include "quote/QuoteSourceDefinition.h"
#include "quote/QuoteSourceUrl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string document(reinterpret_cast<const char*>(data), size);
    const QuoteSourceList list = ParseQuoteSources(document, "fuzz.json");

    // Either sources or one message naming the file, never both.
    FUZZ_CHECK(list.error.empty() || list.sources.empty());
    if (!list.error.empty()) {
        FUZZ_CHECK(list.error.rfind("fuzz.json: ", 0) == 0);
        return 0;
    }

    // What was read is written back to a document that reads the same.
    const QuoteSourceList again = ParseQuoteSources(QuoteSourcesToJson(list.sources), "again.json");
    FUZZ_CHECK(again.error.empty());
    FUZZ_CHECK(again.sources == list.sources);

    for (const QuoteSourceDefinition& source : list.sources) {
        FUZZ_CHECK(!HeaderValue(source, "User-Agent").empty());
        // The answer names the exchange's zone in json only; other formats
        // take it from the security's country.
        FUZZ_CHECK(source.quoteTime.exchangeZonePath.empty() || source.format == QuoteSourceFormat::Json);
        // A quote time's own zone is one this machine knows.
        FUZZ_CHECK(source.quoteTime.zone.empty() || IsKnownZone(source.quoteTime.zone));
        // Every URL is http or https, or refused with a message naming the source.
        for (const char* override : {"", "127.0.0.1:8080", "https://h:1"}) {
            const SourceUrl url = BuildSourceUrl(source, override, "A B&{base}", "CA");
            FUZZ_CHECK(url.url.empty() != url.error.empty());
            if (url.url.empty())
                FUZZ_CHECK(url.error.rfind("quote source \"" + source.id + "\": ", 0) == 0);
            else
                FUZZ_CHECK(ToLowerAscii(url.url.substr(0, 7)) == "http://" ||
                           ToLowerAscii(url.url.substr(0, 8)) == "https://");
        }
    }
    return 0;
}

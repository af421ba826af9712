// Reading a history answer with the built-in definitions' history sections.
// Input: one byte choosing the source ('c': the daily CSV, else chart JSON)
// and whether the bars are intraday ('i' second byte), then the answer.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "historydata/BarReader.h"
#include "quote/QuoteSourceCatalog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    static const QuoteSourceList builtins = ParseQuoteSources(BuiltinQuoteSourcesJson(), "built-in");
    const QuoteSourceDefinition* source = FindQuoteSource(builtins.sources, data[0] == 'c' ? "quote-csv" : "chart-json");
    FUZZ_CHECK(source && source->history.Present());
    const bool intraday = data[1] == 'i';
    const std::string body(reinterpret_cast<const char*>(data) + 2, size - 2);

    const HistoryAnswer answer = ReadHistoryAnswer(*source, body, intraday, "America/New_York");
    FUZZ_CHECK(answer.ok() == !answer.series.bars.empty());
    FUZZ_CHECK(answer.ok() == answer.error.empty());
    FUZZ_CHECK(answer.series.intraday == intraday || answer.status == HistoryAnswer::Status::BadAnswer);
    for (std::size_t i = 0; i < answer.series.bars.size(); ++i) {
        const HistoryBar& bar = answer.series.bars[i];
        // Ascending, one bar per time; prices finite and positive; low <= open, close <= high.
        if (i > 0)
            FUZZ_CHECK(answer.series.bars[i - 1].time < bar.time);
        FUZZ_CHECK(std::isfinite(bar.open) && std::isfinite(bar.high) && std::isfinite(bar.low) && std::isfinite(bar.close));
        FUZZ_CHECK(bar.close > 0 && bar.volume >= 0);
        FUZZ_CHECK(bar.low <= bar.open && bar.open <= bar.high);
        FUZZ_CHECK(bar.low <= bar.close && bar.close <= bar.high);
    }
    return 0;
}

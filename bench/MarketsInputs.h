#pragma once

#include <string>

#include "BenchSupport.h"
#include "app/QuoteDirectory.h"
#include "quote/PageDownloader.h"
#include "quote/SecurityRecord.h"

namespace bench {

// The generated symbol list of the market benchmarks, written once into a
// scratch folder that is the current directory, and its rows as loaded.
class MarketsInputs {
public:
    static MarketsInputs& Get();

    std::string FileName() const;

    ScratchFolder folder;
    SecurityRecord recDefault;
    CPageDownloader downloader;
    SecurityArray nearest;
    CQuoteDirectory directory;
    SecurityArray rows;

private:
    MarketsInputs();
};

}  // namespace bench

#include "MarketsInputs.h"

#include <stdexcept>

#include "BenchInputs.h"

namespace bench {

MarketsInputs& MarketsInputs::Get()
{
    static MarketsInputs inputs;
    return inputs;
}

MarketsInputs::MarketsInputs() : directory(recDefault, downloader, nearest, nullptr)
{
    // The main frame's default record.
    recDefault.writeToFile = false;
    recDefault.easternTime = true;
    recDefault.refreshMinutes = 1;
    folder.Write(FileName(), MakeSymbolListFile(kSymbolListFileBytes, kSymbolListSeed));
    if (!directory.LoadMarketList(kBenchMarketCode, rows) || rows.empty())
        throw std::runtime_error("the generated symbol list does not load");
}

std::string MarketsInputs::FileName() const
{
    return std::string(kBenchMarketCode) + ".TXT";
}

}  // namespace bench

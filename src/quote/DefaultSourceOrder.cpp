#include "quote/DefaultSourceOrder.h"

std::string SpecifiedQuoteSourceId(int quoteSource)
{
    return quoteSource == 0 ? "cnn-money" : "msn-money";
}

std::vector<std::string> DefaultQuoteSourceOrder(int quoteSource)
{
    return {SpecifiedQuoteSourceId(quoteSource), "chart-json", "quote-csv"};
}

bool NamesQuoteSource(const std::vector<std::string>& order, bool chosenByUser, const std::string& answered,
                      int quoteSource)
{
    if (chosenByUser)
        return order.size() > 1;
    return !answered.empty() && answered != SpecifiedQuoteSourceId(quoteSource);
}

// Stores answers into a history cache for ever, printing "committed N" after
// the N-th answer's transaction, until it is killed. The killed-writer test
// starts it, reads a few lines and sends SIGKILL.

#include <cstdio>
#include <string>

#include "historydata/HistoryCache.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::string message;
    auto cache = HistoryCache::Open(argv[1], message);
    for (long long answer = 1;; ++answer) {
        HistorySeries series;
        // 250 bars per answer; answer n covers days [n*250, n*250+250).
        for (int i = 0; i < 250; ++i) {
            const double price = 10.0 + static_cast<double>((answer * 250 + i) % 1000) / 100.0;
            series.bars.push_back({answer * 250 + i, price, price + 1, price - 1, price, 0, answer});
        }
        if (!cache->Store("US", "KILL", "1d", "chart-json", answer, series, false, 0))
            return 1;
        std::printf("committed %lld\n", answer);
        std::fflush(stdout);
    }
}

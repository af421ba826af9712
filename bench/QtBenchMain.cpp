// Entry point of the benchmark programs that paint or build widgets: a
// QApplication on the offscreen platform (unless another one is chosen),
// then Google Benchmark with its own command line.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "BenchSupport.h"

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::RouteMessagesToStderr();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

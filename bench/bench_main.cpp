// orlax_bench: every benchmark of the tool, then the table of figures beside
// their references (scripts/bench.sh starts what it needs and runs it).
//
//   orlax_bench [GOOGLE BENCHMARK FLAGS] [--unit HOST:PORT] [--queue NAME] [--repetitions N]
//
// --unit names an orlax-emulator to read status from over the network link;
// --queue a CUPS raw queue to send files to. Rows that need what was not
// given show n/a. The benchmark's own output goes to stderr, the table to
// stdout. Exit status: 0 when every goal that could be measured holds, 1 when
// one does not, 2 for a usage error.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "bench_context.h"
#include "bench_registry.h"
#include "measurements.h"
#include "results_table.h"

int main(int argc, char** argv) {
    using namespace orlax::bench;
    benchmark::Initialize(&argc, argv);
    std::string error;
    auto context = ParseBenchOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!context) {
        std::cerr << "orlax_bench: " << error << "\n";
        return 2;
    }
    context->orlaxctl = ORLAXCTL_PATH;
    context->peakRss = ORLAX_PEAK_RSS_PATH;
    context->firstPaint = ORLAX_FIRST_PAINT_PATH;
    if (!MakeDeviceFiles(*context, error)) {
        std::cerr << "orlax_bench: " << error << "\n";
        RemoveDeviceFiles(*context);
        return 1;
    }

    RegisterStatusBenchmarks(*context);
    RegisterReportBenchmarks(*context);
    RegisterFileBenchmarks(*context);
    RegisterProcessBenchmarks(*context);
    RegisterLineDatabaseBenchmarks(*context);

    Measurements measurements;
    CollectingReporter reporter(measurements, ::isatty(STDERR_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                                      : benchmark::ConsoleReporter::OO_Tabular);
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    RemoveDeviceFiles(*context);

    return PrintResultsTable(measurements, std::cout) ? 0 : 1;
}

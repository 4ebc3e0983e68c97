// The figures of one run, by benchmark name: the median over the
// repetitions (the single run when there was one repetition), with its
// spread, or why there is none.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>

namespace orlax::bench {

struct Measurement {
    double nsPerCall = 0;                          // real time per iteration
    std::map<std::string, double> counters;        // per iteration where the benchmark says so
    double spread = 0;                             // coefficient of variation of the time, 0..1
    std::map<std::string, double> counterSpreads;  // the same for each counter
    std::string failure;                           // why there is no figure; empty when there is
};

class Measurements {
public:
    void Take(const benchmark::BenchmarkReporter::Run& run);
    // nullptr when the benchmark did not run (filtered out, say).
    const Measurement* Find(const std::string& name) const;

private:
    std::map<std::string, Measurement> byName_;
};

// Prints as the console reporter does and keeps every figure.
class CollectingReporter final : public benchmark::ConsoleReporter {
public:
    CollectingReporter(Measurements& into, OutputOptions options) : ConsoleReporter(options), into_(into) {}
    void ReportRuns(const std::vector<Run>& runs) override;

private:
    Measurements& into_;
};

}  // namespace orlax::bench

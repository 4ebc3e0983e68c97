#include "measurements.h"

namespace orlax::bench {
namespace {

// The run's real time per iteration, in nanoseconds whatever its unit.
double NsPerIteration(const benchmark::BenchmarkReporter::Run& run) {
    return run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
}

}  // namespace

void Measurements::Take(const benchmark::BenchmarkReporter::Run& run) {
    Measurement& entry = byName_[run.run_name.function_name];
    if (run.error_occurred) {
        entry.failure = run.error_message;
        return;
    }
    if (!entry.failure.empty()) return;
    const bool single = run.run_type == benchmark::BenchmarkReporter::Run::RT_Iteration;
    const bool median = !single && run.aggregate_name == "median";
    if (median || (single && entry.nsPerCall == 0)) {
        // Aggregates come after the repetitions they sum up: a median
        // replaces whatever single run was kept before it.
        entry.nsPerCall = NsPerIteration(run);
        for (const auto& [name, counter] : run.counters) entry.counters[name] = counter.value;
    } else if (!single && run.aggregate_name == "cv") {
        entry.spread = run.real_accumulated_time;
        for (const auto& [name, counter] : run.counters) entry.counterSpreads[name] = counter.value;
    }
}

const Measurement* Measurements::Find(const std::string& name) const {
    const auto found = byName_.find(name);
    return found == byName_.end() ? nullptr : &found->second;
}

void CollectingReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) into_.Take(run);
}

}  // namespace orlax::bench

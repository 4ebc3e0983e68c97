// Figures and their references measured in turn: each iteration runs every
// probe once, so a figure and its reference see the same moments of a busy
// machine (two cores shared with builds) and a burst of load falls on both.
// Each probe's median time becomes a counter of the benchmark, in ns.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orlax::bench {

struct Probe {
    std::string counter;  // the counter its median goes to
    // One measurement: the time of what is measured (a probe may leave
    // waits of its own out), or nullopt when it failed; `failure` says why.
    std::function<std::optional<std::chrono::nanoseconds>(std::string& failure)> run;
};

// Times `work` on the steady clock; nullopt when it returns false.
std::optional<std::chrono::nanoseconds> Timed(const std::function<bool()>& work);

// A program run from launch to exit; it fails unless it exits with 0.
Probe ProgramProbe(std::string counter, std::vector<std::string> argv);

// Runs the probes in turn for the benchmark's iterations, in a new order
// each iteration. The iteration
// time given to the benchmark is the sum of the probes' times.
void RunPaired(benchmark::State& state, const std::vector<Probe>& probes);

}  // namespace orlax::bench

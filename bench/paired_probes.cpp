#include "paired_probes.h"

#include <algorithm>
#include <numeric>
#include <random>

#include "child_process.h"

namespace orlax::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double>& values) {
    if (values.empty()) return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1) return *middle;
    const double below = *std::max_element(values.begin(), middle);
    return (below + *middle) / 2;
}

}  // namespace

std::optional<std::chrono::nanoseconds> Timed(const std::function<bool()>& work) {
    const auto start = Clock::now();
    if (!work()) return std::nullopt;
    return Clock::now() - start;
}

void RunPaired(benchmark::State& state, const std::vector<Probe>& probes) {
    if (probes.empty()) {
        state.SkipWithError("nothing to measure");
        return;
    }
    std::vector<std::vector<double>> samples(probes.size());
    // Each iteration takes the probes in a new order: what one leaves behind
    // (a server still closing its connection, cupsd still writing its log)
    // must not always fall on the same other one.
    std::vector<std::size_t> order(probes.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::mt19937 shuffler(1);
    for (auto _ : state) {
        std::chrono::nanoseconds total{0};
        std::shuffle(order.begin(), order.end(), shuffler);
        for (const std::size_t i : order) {
            std::string failure;
            const auto took = probes[i].run(failure);
            if (!took) {
                state.SkipWithError((probes[i].counter + ": " + failure).c_str());
                return;
            }
            samples[i].push_back(static_cast<double>(took->count()));
            total += *took;
        }
        state.SetIterationTime(std::chrono::duration<double>(total).count());
    }
    for (std::size_t i = 0; i < probes.size(); ++i) state.counters[probes[i].counter] = Median(samples[i]);
}

Probe ProgramProbe(std::string counter, std::vector<std::string> argv) {
    return {std::move(counter),
            [argv = std::move(argv)](std::string& failure) -> std::optional<std::chrono::nanoseconds> {
                const auto run = RunChild(argv);
                if (!run || run->exitStatus != 0) {
                    failure = "failed: " + CommandLine(argv);
                    return std::nullopt;
                }
                return run->wall;
            }};
}

}  // namespace orlax::bench

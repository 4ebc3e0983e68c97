// Programs as a user starts them: orlaxctl's start-up, its peak memory while
// it streams a small and a large device file, and the desktop window's time
// from launch to its first paint.
#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <cstdio>

#include "bench_context.h"
#include "bench_registry.h"
#include "child_process.h"
#include "paired_probes.h"
#include "results_table.h"
#ifdef ORLAX_HAVE_CUPS
#include "cups_queue_jobs.h"
#endif

namespace orlax::bench {
namespace {

double Seconds(std::chrono::nanoseconds elapsed) { return std::chrono::duration<double>(elapsed).count(); }

void StartUp(benchmark::State& state, const BenchContext& context) {
    RunPaired(state, {ProgramProbe(counter::kListQueues, {context.orlaxctl, "--emulate", "list-queues"}),
                      ProgramProbe(counter::kTrue, {"true"})});
}

// orlaxctl sends the test file of `size`; its peak resident set per call,
// as the small helper program reports it.
void PeakMemory(benchmark::State& state, const BenchContext& context, std::vector<std::string> argv,
                const std::string& queue) {
    argv.insert(argv.begin(), context.peakRss);
    ChildOptions options;
    options.keepOut = true;
    for (auto _ : state) {
#ifdef ORLAX_HAVE_CUPS
        if (!queue.empty()) WaitUntilQueueIdle(queue);
#endif
        const auto run = RunChild(argv, options);
#ifdef ORLAX_HAVE_CUPS
        if (!queue.empty()) {
            WaitUntilQueueIdle(queue);
            PurgeQueueJobs(queue);
        }
#endif
        long peakKiB = 0;
        int exitStatus = -1;
        if (!run || std::sscanf(run->out.c_str(), "%ld %d", &peakKiB, &exitStatus) != 2 || exitStatus != 0) {
            state.SkipWithError(("failed: " + CommandLine(argv)).c_str());
            return;
        }
        state.SetIterationTime(Seconds(run->wall));
        state.counters[counter::kPeak] = static_cast<double>(peakKiB);
    }
}

void PeakMemoryEmulated(benchmark::State& state, const BenchContext& context, std::uint64_t size) {
    PeakMemory(state, context,
               {context.orlaxctl, "--emulate", "--fast", "--data-root", context.DataRoot(size), "send-test-file"}, {});
}

void PeakMemoryCups(benchmark::State& state, const BenchContext& context, std::uint64_t size) {
    if (context.queue.empty()) {
        state.SkipWithError("no CUPS queue (--queue NAME)");
        return;
    }
    PeakMemory(state, context,
               {context.orlaxctl, "--data-root", context.DataRoot(size), "queue", context.queue, "send-test-file"},
               context.queue);
}

// The paint program prints the steady clock's reading at the first paint.
void FirstPaint(benchmark::State& state, const BenchContext& context) {
    if (context.firstPaint.empty()) {
        state.SkipWithError("this build has no desktop program");
        return;
    }
    ChildOptions options;
    options.keepOut = true;
    options.environment = {"QT_QPA_PLATFORM=offscreen"};
    for (auto _ : state) {
        const auto run = RunChild({context.firstPaint}, options);
        std::int64_t paintedNs = 0;
        const std::string_view out = run ? std::string_view(run->out) : std::string_view{};
        const auto [end, ec] = std::from_chars(out.data(), out.data() + out.size(), paintedNs);
        if (!run || run->exitStatus != 0 || ec != std::errc() || end == out.data()) {
            state.SkipWithError("the window did not paint");
            return;
        }
        const auto launched = std::chrono::duration_cast<std::chrono::nanoseconds>(run->launched.time_since_epoch());
        state.SetIterationTime(Seconds(std::chrono::nanoseconds(paintedNs) - launched));
    }
}

}  // namespace

void RegisterProcessBenchmarks(const BenchContext& context) {
    const int repetitions = context.repetitions;
    benchmark::RegisterBenchmark(name::kStartUp, StartUp, context)
        ->Repetitions(repetitions)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(name::kFirstPaint, FirstPaint, context)
        ->Repetitions(repetitions)
        ->Iterations(2)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);

    // Peak memory does not vary from run to run: one send of each.
    struct MemoryCase {
        const char* name;
        void (*bench)(benchmark::State&, const BenchContext&, std::uint64_t);
        std::uint64_t size;
    };
    const MemoryCase memoryCases[] = {
        {name::kPeakEmulatedSmall, PeakMemoryEmulated, kSmallFileSize},
        {name::kPeakEmulatedLarge, PeakMemoryEmulated, kLargeFileSize},
#ifdef ORLAX_HAVE_CUPS
        {name::kPeakCupsSmall, PeakMemoryCups, kSmallFileSize},
        {name::kPeakCupsLarge, PeakMemoryCups, kLargeFileSize},
#endif
    };
    for (const MemoryCase& c : memoryCases)
        benchmark::RegisterBenchmark(c.name, c.bench, context, c.size)
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kMillisecond);
}

}  // namespace orlax::bench

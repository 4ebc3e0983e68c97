// SendDeviceFile of a 64 MiB file: to the emulated spooler whose sink only
// counts the bytes, beside reading the same file to nothing with cat; and to
// a CUPS raw queue, beside lp on the same queue, each until CUPS reports the
// job completed (delivered to the unit). A command packet's round trip the
// same way: WriteRawJob against lp of the same 8 bytes. Each pair is taken in
// turn (paired_probes.h).
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>

#include "bench_context.h"
#include "bench_registry.h"
#include "child_process.h"
#include "emulator/emulated_spooler.h"
#include "link_session.h"
#include "paired_probes.h"
#include "clocks/virtual_clock.h"
#include "results_table.h"
#ifdef ORLAX_HAVE_CUPS
#include "cups_queue_jobs.h"
#include "clocks/real_clock.h"
#include "cups/cups_job_stream.h"
#include "cups/cups_queue_service.h"
#include "cups/cups_spooler.h"
#endif

namespace orlax::bench {
namespace {

constexpr const char* kEmulatedQueue = "Lumetra PRO";

void SendToCountingSink(benchmark::State& state, const BenchContext& context) {
    // Streamed: the spooler keeps a job's length and first bytes, nothing else.
    emulator::EmulatedSpooler spooler(emulator::DefaultScenario(), nullptr, nullptr, emulator::JobBytes::Streamed);
    clocks::VirtualClock clock;
    LinkSession session(spooler, clock, kEmulatedQueue, context.DataRoot(kSendFileSize));
    const Probe send{counter::kSend, [&](std::string& failure) {
                         const auto took = Timed([&] {
                             return static_cast<bool>(session.Link().SendDeviceFile(kTestFileName)) &&
                                    spooler.Jobs().back().length == kSendFileSize;
                         });
                         if (!took) failure = "the sink did not get the whole file";
                         return took;
                     }};
    RunPaired(state, {send, ProgramProbe(counter::kCat, {"cat", context.TestFile(kSendFileSize)})});
}

#ifdef ORLAX_HAVE_CUPS
// A send to the queue, timed while no other job is being delivered; the job
// is delivered and purged before the next.
Probe CupsSendProbe(const char* counter, const std::string& queue, std::function<bool()> send) {
    return {counter, [queue, send = std::move(send)](std::string& failure) -> std::optional<std::chrono::nanoseconds> {
                if (!WaitUntilQueueIdle(queue)) {
                    failure = "the queue did not become idle";
                    return std::nullopt;
                }
                const auto took = Timed(send);
                WaitUntilQueueIdle(queue);
                PurgeQueueJobs(queue);
                if (!took) failure = "the job was not completed";
                return took;
            }};
}

// lp, then its job polled until CUPS completed it: what a script does
// that waits for its job. The poll is as quick as the tool's first one.
std::function<bool()> LpUntilCompleted(const std::string& queue, const std::string& file) {
    const std::vector<std::string> lp{"lp", "-d", queue, "-o", "raw", file};
    return [queue, lp] {
        ChildOptions options;
        options.keepOut = true;
        const auto run = RunChild(lp, options);
        if (!run || run->exitStatus != 0) return false;
        const int id = LpJobId(run->out);
        return id > 0 && WaitUntilJobCompleted(queue, id, cups::kFirstJobStatePoll);
    };
}

void SendToCups(benchmark::State& state, const BenchContext& context) {
    if (context.queue.empty()) {
        state.SkipWithError("no CUPS queue (--queue NAME)");
        return;
    }
    cups::CupsSpooler spooler(std::make_unique<cups::CupsQueueService>());
    clocks::RealClock clock;
    LinkSession session(spooler, clock, context.queue, context.DataRoot(kSendFileSize));
    RunPaired(state, {CupsSendProbe(counter::kSend, context.queue,
                                    [&] { return static_cast<bool>(session.Link().SendDeviceFile(kTestFileName)); }),
                      CupsSendProbe(counter::kLp, context.queue,
                                    LpUntilCompleted(context.queue, context.TestFile(kSendFileSize)))});
}

// The RestoreFactory packet: the unit only takes it in.
constexpr std::array<std::uint8_t, 8> kCommandPacket{0x1B, 0x04, 0x0B, 0, 0, 0, 0, 0x2A};

void CommandToCups(benchmark::State& state, const BenchContext& context) {
    if (context.queue.empty()) {
        state.SkipWithError("no CUPS queue (--queue NAME)");
        return;
    }
    const std::string packetFile = context.DataRoot(kSendFileSize) + "/command.bin";
    std::ofstream(packetFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(kCommandPacket.data()), kCommandPacket.size());
    cups::CupsSpooler spooler(std::make_unique<cups::CupsQueueService>());
    clocks::RealClock clock;
    LinkSession session(spooler, clock, context.queue);
    RunPaired(state, {CupsSendProbe(counter::kSend, context.queue,
                                    [&] { return static_cast<bool>(session.Link().WriteRawJob(kCommandPacket)); }),
                      CupsSendProbe(counter::kLp, context.queue, LpUntilCompleted(context.queue, packetFile))});
    std::remove(packetFile.c_str());
}
#endif

}  // namespace

void RegisterFileBenchmarks(const BenchContext& context) {
    const int repetitions = context.repetitions;
    benchmark::RegisterBenchmark(name::kSendEmulated, SendToCountingSink, context)
        ->Repetitions(repetitions)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
#ifdef ORLAX_HAVE_CUPS
    constexpr int kCupsPairsPerRepetition = 2;
    benchmark::RegisterBenchmark(name::kSendCups, SendToCups, context)
        ->Repetitions(repetitions)
        ->Iterations(kCupsPairsPerRepetition)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    constexpr int kCommandPairsPerRepetition = 4;
    benchmark::RegisterBenchmark(name::kCommandCups, CommandToCups, context)
        ->Repetitions(repetitions)
        ->Iterations(kCommandPairsPerRepetition)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
#endif
}

}  // namespace orlax::bench

// What the tool itself does with a record: the status report, and the final
// check run on the emulated unit with a virtual clock, so that its pauses
// (counted separately) take no time.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>

#include "app/burner_dlg.h"
#include "bench_context.h"
#include "bench_registry.h"
#include "report/status_report.h"
#include "results_table.h"
#include "support/passing_unit.h"
#include "support/record_builder.h"
#include "support/session.h"

namespace orlax::bench {
namespace {

namespace f = protocol::field;

constexpr const char* kEmulatedQueue = "Lumetra PRO";
constexpr std::size_t kFactoryFileSize = 64 * 1024;

void ShowStatusReportBench(benchmark::State& state) {
    testing::Session session;
    session.app.PrinterName() = kEmulatedQueue;
    if (!session.app.Link().GetDeviceStatus()) {
        state.SkipWithError("the emulated unit gave no status");
        return;
    }
    auto& log = session.app.Log();
    const auto& device = session.app.Device();
    for (auto _ : state) {
        log.ClearLog();
        report::ShowStatusReport(device, log);
    }
    benchmark::DoNotOptimize(log.LogText().data());
}

// A unit that fails every test: firmware, both sensors, LEX and every offset.
emulator::Scenario OutOfToleranceUnit() {
    emulator::Scenario scenario = emulator::DefaultScenario();
    testing::RecordBytes& record = scenario.record;
    testing::PutFirmware(record, "9.99");
    record[f::trayInSensorLow] = 40;
    record[f::diskInSensorLow] = 40;
    record[f::lexVersion] = 98;
    for (const std::size_t at :
         {f::leftBinOffset, f::recorderOffset, f::printerOffset, f::hookOffset, f::trayOutOffset, f::pickerSwitchOffset,
          f::armHomeOffset, f::imageVertical, f::imageHorizontal, f::lastDiskLeft, f::lastDiskRight})
        record[at] = 5;
    record[f::rightBinOffset] = static_cast<std::uint8_t>(-5);
    testing::Seal(record);
    return scenario;
}

std::uint64_t TotalPauseMs(const clocks::VirtualClock& clock) {
    return std::accumulate(clock.Sleeps().begin(), clock.Sleeps().end(), std::uint64_t{0});
}

// FINAL CHECK on `scenario`; the pauses it asked for are reported per call.
void FinalCheckBench(benchmark::State& state, const emulator::Scenario& scenario, const std::string& dataRoot) {
    testing::Session session(scenario, dataRoot);
    session.app.PrinterName() = kEmulatedQueue;
    app::CBurnerDlg window(session.app);
    const std::uint64_t pausesBefore = TotalPauseMs(session.clock);
    for (auto _ : state) window.OnFinalCheck();
    const double pauseMs = static_cast<double>(TotalPauseMs(session.clock) - pausesBefore);
    state.counters[counter::kPause] = pauseMs * 1e6 / static_cast<double>(state.iterations());
}

void FinalCheckOutOfTolerance(benchmark::State& state) {
    FinalCheckBench(state, OutOfToleranceUnit(), "/nonexistent-data-root");
}

// A passing unit gets its factory set-up file and its production record
// line; both live in the run's own data root.
void FinalCheckPassingUnit(benchmark::State& state, const BenchContext& context) {
    const std::string root = context.workDir + "/data-final-check";
    const std::string folder = root + "/Korvane/ORLAXPRO/";
    std::error_code failed;
    std::filesystem::create_directories(folder, failed);
    std::ofstream(folder + "fdefault.fzp", std::ios::binary) << std::string(kFactoryFileSize, '\x5A');
    if (failed || !std::filesystem::exists(folder + "fdefault.fzp")) {
        state.SkipWithError("cannot make the data root");
        return;
    }
    FinalCheckBench(state, testing::PassingScenario(), root);
}

}  // namespace

void RegisterReportBenchmarks(const BenchContext& context) {
    const int repetitions = context.repetitions;
    benchmark::RegisterBenchmark(name::kShowStatusReport, ShowStatusReportBench)->Repetitions(repetitions);
    benchmark::RegisterBenchmark(name::kFinalCheckReject, FinalCheckOutOfTolerance)->Repetitions(repetitions);
    benchmark::RegisterBenchmark(name::kFinalCheckPass, FinalCheckPassingUnit, context)
        ->Repetitions(repetitions)
        ->UseRealTime();
}

}  // namespace orlax::bench

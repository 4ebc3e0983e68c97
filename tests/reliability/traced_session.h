// One run of the main window over the emulated unit, with every spooler
// call traced and every text the operator log took kept in order, even the
// texts a later ClearLog removed from the box.
#pragma once

#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/burner_app.h"
#include "emulator/emulated_unit_spooler.h"
#include "emulator/scenario.h"
#include "headless/headless_host.h"
#include "clocks/virtual_clock.h"
#include "reliability/call_trace.h"

namespace orlax::reliability {

struct Fault {
    SpoolerCall kind;
    std::size_t nth;  // 1-based
};

struct RunResult {
    std::string transcript;  // every text appended to the log, in order
    std::vector<emulator::EmulatedSpooler::Job> jobs;
    std::vector<TracedCall> calls;
    std::vector<std::pair<std::string, std::string>> messageBoxes;
    bool failed = false;
    bool usageError = false;
    std::size_t openHandles = 0;
    std::size_t openJobs = 0;
    std::uint32_t tookMs = 0;  // on the virtual clock, from start to end

    // As orlaxctl would end: 2 for an action the window could not take,
    // 1 when an operation took its failure path, else 0.
    int ExitStatus() const { return usageError ? 2 : failed ? 1 : 0; }
};

// What befalls the unit at the start of a pause of the operation, given its
// length; nothing when empty.
using DuringPause = std::function<void(std::uint32_t ms, emulator::EmulatedUnitSpooler&)>;

inline RunResult RunTraced(const emulator::Scenario& scenario, const std::string& dataRoot,
                           const headless::Script& script, std::optional<Fault> fault = std::nullopt,
                           const DuringPause& duringPause = {}) {
    clocks::VirtualClock clock;
    emulator::EmulatedUnitSpooler emulated(scenario, &clock);
    if (fault) emulated.FailNthCall(fault->kind, fault->nth);
    if (duringPause) clock.SetSleepObserver([&](std::uint32_t ms) { duringPause(ms, emulated); });
    TracingSpooler spooler(emulated);
    std::ostringstream listOut, messageOut;
    headless::HeadlessHost host(script, listOut, messageOut);
    app::CBurnerApp app({spooler, clock, host}, app::AppConfig{dataRoot});

    RunResult result;
    app.Log().SetAppendObserver([&](std::string_view text) { result.transcript += text; });
    app.InitInstance();
    app.Log().SetAppendObserver(nullptr);

    result.jobs = emulated.Jobs();
    result.calls = spooler.Calls();
    result.messageBoxes = host.MessageBoxes();
    result.failed = app.Outcome().AnyFailed();
    result.usageError = host.HasUsageError();
    result.openHandles = emulated.OpenHandles();
    result.openJobs = emulated.OpenJobs();
    result.tookMs = clock.GetTickCount();
    return result;
}

}  // namespace orlax::reliability

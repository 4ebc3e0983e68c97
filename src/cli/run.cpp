#include "cli/run.h"

#include <memory>

#include "app/burner_app.h"
#include "cli/log_printer.h"
#include "cli/options.h"
#include "cli/session_steps.h"
#include "emulator/emulated_spooler.h"
#include "emulator/journal.h"
#include "emulator/scenario.h"
#include "platform/headless_host.h"
#include "platform/real_clock.h"
#include "platform/virtual_clock.h"
#ifdef ORLAX_HAVE_CUPS
#include "spooler/cups_queue_service.h"
#include "spooler/cups_spooler.h"
#endif

namespace orlax::cli {
namespace {

int UsageError(std::ostream& err, const std::string& message) {
    err << "orlaxctl: " << message << "\nTry 'orlaxctl --help'.\n";
    return kExitUsage;
}

// Runs the main window over the given spooler and clock.
int RunSession(Options& options, platform::Spooler& spooler, platform::Clock& clock,
               std::ostream& out, std::ostream& err) {
    platform::HeadlessHost host(std::move(options.actions), out, err);
    app::CBurnerApp application({spooler, clock, host}, app::AppConfig{options.dataRoot});
    LogPrinter printer(out, options.crlf);
    StepWatch watch(application, host, err, options.keepGoing);
    host.SetFrontEndStep([&](const platform::ScriptAction&) { PrintStatusJson(application, out); });
    host.SetOnFirstWindowReady([&] {
        watch.Start();
        // Everything appended after the main window's initialisation, as it comes.
        if (!options.finalLog)
            application.Log().SetAppendObserver([&](std::string_view text) { printer.Write(text); });
    });
    application.InitInstance();
    application.Log().SetAppendObserver(nullptr);
    if (options.finalLog) printer.Write(application.Log().LogText());
    printer.Finish();
    watch.Finish();

    const bool failed = application.Outcome().AnyFailed();
    if (host.HasUsageError()) {
        // A mistake in the script found after an operation had failed (with
        // --keep-going) does not hide that failure.
        if (failed) {
            err << "orlaxctl: " << host.UsageError() << " (after a failed operation; the rest was not run)\n";
            return kExitFailed;
        }
        return UsageError(err, host.UsageError());
    }
    if (!host.Stopped() && !host.Remaining().empty())
        return UsageError(err, "'" + host.Remaining().front().source + "': the main window is closed");
    return failed ? kExitFailed : kExitOk;
}

// The system's print spooler and the real clock. When an operation failed
// and the spooler has the cause of its last failure, that cause goes to
// stderr after the session: the log shows only the code.
int RunOnSystemSpooler(Options& options, std::ostream& out, std::ostream& err) {
#ifdef ORLAX_HAVE_CUPS
    spooler::CupsSpooler spooler(std::make_unique<spooler::CupsQueueService>());
    platform::RealClock clock;
    const int status = RunSession(options, spooler, clock, out, err);
    if (status == kExitFailed && spooler.GetLastError() != 0 && !spooler.LastErrorText().empty())
        err << "orlaxctl: print spooler: error " << spooler.GetLastError() << ": " << spooler.LastErrorText()
            << "\n";
    return status;
#else
    (void)options;
    (void)out;
    return UsageError(err, "this build has no system print spooler; use --emulate");
#endif
}

}  // namespace

int Run(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    std::string error;
    auto options = ParseCommandLine(args, error);
    if (!options) return UsageError(err, error);
    if (options->help) {
        out << UsageText();
        return kExitOk;
    }
    if (options->version) {
        out << "orlaxctl " << ORLAX_VERSION << "\n";
        return kExitOk;
    }
    if (!options->emulate) return RunOnSystemSpooler(*options, out, err);

    emulator::Scenario scenario = emulator::DefaultScenario();
    if (!options->scenarioPath.empty() &&
        !emulator::LoadScenarioFile(options->scenarioPath, scenario, error))
        return UsageError(err, error);

    std::unique_ptr<emulator::Journal> journal;
    if (!options->journalPath.empty()) {
        journal = std::make_unique<emulator::Journal>(options->journalPath);
        if (!journal->IsOpen()) return UsageError(err, journal->Error());
    }

    platform::VirtualClock virtualClock;
    platform::RealClock realClock;
    platform::Clock& clock =
        options->fast ? static_cast<platform::Clock&>(virtualClock) : static_cast<platform::Clock&>(realClock);
    // Jobs are streamed through, not kept: a device file of any size costs
    // no memory.
    emulator::EmulatedSpooler spooler(scenario, options->fast ? &virtualClock : nullptr, journal.get(),
                                      emulator::JobBytes::Streamed);
    return RunSession(*options, spooler, clock, out, err);
}

}  // namespace orlax::cli

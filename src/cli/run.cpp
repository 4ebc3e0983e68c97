#include "cli/run.h"

#include "app/burner_app.h"
#include <algorithm>
#include <optional>

#include "cli/line_record_steps.h"
#include "cli/log_printer.h"
#include "cli/options.h"
#include "cli/session_steps.h"
#include "headless/headless_host.h"
#include "linedb/line_database.h"
#include "linedb/record_db_choice.h"
#include "unit_platform/unit_platform.h"
#include "util/version.h"

namespace orlax::cli {
namespace {

int UsageError(std::ostream& err, const std::string& message) {
    err << "orlaxctl: " << message << "\nTry 'orlaxctl --help'.\n";
    return kExitUsage;
}

// Runs the main window on the unit's platform, its records also going to the
// line database when there is one.
int RunSession(Options& options, unit_platform::UnitPlatform& unit, const std::optional<std::string>& recordDb,
               std::ostream& out, std::ostream& err) {
    headless::HeadlessHost host(std::move(options.actions), out, err);
    app::CBurnerApp application({unit.Spooler(), unit.Clock(), host}, app::AppConfig{options.dataRoot});
    std::optional<linedb::LineDatabase> lineDatabase;
    if (recordDb) {
        lineDatabase.emplace(*recordDb, [&] { return application.PrinterName(); },
                             [&](const std::string& queue) { return unit.DeviceUri(queue); });
        lineDatabase->Record().SetReporter([&](const report::SendReport& sent) { ReportRecordSend(sent, err); });
        application.ProductionRecord().SetLineRecord(&lineDatabase->Record());
    }
    LogPrinter printer(out, options.crlf);
    StepWatch watch(application, host, err, options.keepGoing);
    host.SetFrontEndStep([&](const headless::ScriptAction& action) {
        if (action.text == kRecordSync)
            RecordSync(application, lineDatabase->Record(), out, err);
        else
            PrintStatusJson(application, out);
    });
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
        out << "orlaxctl " << util::kVersion << "\n";
        return kExitOk;
    }
    const auto recordDb = linedb::ChosenConninfo(options->recordDb, error);
    if (!error.empty()) return UsageError(err, error);
    const bool syncs = std::ranges::any_of(options->actions, [](const headless::ScriptAction& action) {
        return action.kind == headless::ScriptAction::Kind::FrontEnd && action.text == kRecordSync;
    });
    if (syncs && !recordDb)
        return UsageError(err, "record-sync needs a line database: --record-db CONNINFO or ORLAX_RECORD_DB");
    if (!options->emulate && !unit_platform::HaveSystemSpooler())
        return UsageError(err, "this build has no system print spooler; use --emulate");
    const auto unit = unit_platform::MakeUnitPlatform(*options, error);
    if (!unit) return UsageError(err, error);
    unit->SetSpoolerNotice([&err](std::string_view text) { err << "orlaxctl: " << text << "\n" << std::flush; });
    const int status = RunSession(*options, *unit, recordDb, out, err);
    // The log shows only the code of the system spooler's failure: its cause
    // goes to stderr after the session.
    if (const std::string failure = unit->SpoolerFailure(); status == kExitFailed && !failure.empty())
        err << "orlaxctl: print spooler: " << failure << "\n";
    return status;
}

}  // namespace orlax::cli

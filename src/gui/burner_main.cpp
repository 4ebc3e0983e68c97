// orlax-burner: the set-up tool's desktop window.
#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/burner_app.h"
#include "gui/app_icon_image.h"
#include "gui/burner_options.h"
#include "gui/event_trace.h"
#include "gui/message_presenter.h"
#include "gui/progress_model.h"
#include "gui/qt_clock.h"
#include "gui/qt_host.h"
#include "linedb/line_database.h"
#include "linedb/record_db_choice.h"
#include "unit_platform/unit_platform.h"
#include "util/exit_status.h"
#include "util/version.h"

namespace {

using namespace orlax;
using util::kExitOk;
using util::kExitUsage;

int UsageError(const std::string& message) {
    std::cerr << "orlax-burner: " << message << "\nTry 'orlax-burner --help'.\n";
    return kExitUsage;
}

// The program name and the arguments that are not ours, for Qt to take its
// own from; argv ends with a null pointer as a C program's does.
struct QtArguments {
    QtArguments(char* programName, const std::vector<std::string>& forQt) : words(forQt) {
        argv.push_back(programName);
        for (std::string& word : words) argv.push_back(word.data());
        argc = static_cast<int>(argv.size());
        argv.push_back(nullptr);
    }
    std::vector<std::string> words;
    std::vector<char*> argv;
    int argc = 0;
};

// Runs the main window on the unit's platform until it is closed, its
// records also going to the line database when there is one.
int RunWindow(unit_platform::UnitPlatform& unit, const std::optional<std::string>& recordDb,
              const gui::BurnerOptions& options, char* programName) {
    QtArguments qt(programName, options.forQt);
    QApplication application(qt.argc, qt.argv.data());
    if (const std::string leftover = gui::LeftoverError(qt.argc, qt.argv.data()); !leftover.empty())
        return UsageError(leftover);
    QApplication::setApplicationName(QStringLiteral("orlax-burner"));
    QApplication::setApplicationVersion(QString::fromLatin1(util::kVersion));
    QApplication::setWindowIcon(gui::AppIcon());
    // The main window's modal run is the program; closing a message box
    // before it shows must not end anything.
    QApplication::setQuitOnLastWindowClosed(false);

    // For the tests that drive the window on an X server.
    std::unique_ptr<gui::EventTrace> trace;
    if (const char* tracePath = std::getenv("ORLAX_BURNER_TRACE"); tracePath && *tracePath) {
        trace = std::make_unique<gui::EventTrace>(tracePath);
        if (!trace->IsOpen()) return UsageError(std::string("ORLAX_BURNER_TRACE: cannot write ") + tracePath);
    }

    gui::ProgressModel progress;
    // The spooler's notices show in the progress line, and on stderr.
    unit.SetSpoolerNotice([&progress](std::string_view text) {
        std::cerr << "orlax-burner: " << text << std::endl;
        progress.Notice(text);
    });
    gui::QtClock clock(&progress);
    clock.SetTrace(trace.get());
    gui::QtMessagePresenter presenter;
    gui::QtHost host(presenter, &progress, util::kVersion);
    host.SetTrace(trace.get());
    app::CBurnerApp burner({unit.Spooler(), clock, host, &progress}, app::AppConfig{options.dataRoot});
    std::optional<linedb::LineDatabase> lineDatabase;
    if (recordDb) {
        lineDatabase.emplace(*recordDb, [&] { return burner.PrinterName(); },
                             [&](const std::string& queue) { return unit.DeviceUri(queue); });
        // Rows left waiting show under the log until they have gone.
        lineDatabase->Record().SetReporter([&](const report::SendReport& sent) {
            if (!sent.failure.empty()) std::cerr << "orlax-burner: line database: " << sent.failure << "\n";
            progress.SetNotice(sent.waiting ? report::WaitingNotice(sent.waiting) : std::string());
        });
        burner.ProductionRecord().SetLineRecord(&lineDatabase->Record());
    }
    burner.InitInstance();
    unit.SetSpoolerNotice(nullptr);
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = gui::ParseBurnerOptions(args, error);
    if (!options) return UsageError(error);
    if (options->help) {
        std::cout << gui::BurnerUsageText();
        return kExitOk;
    }
    if (options->version) {
        std::cout << "orlax-burner " << util::kVersion << "\n";
        return kExitOk;
    }
    if (!options->emulate && !unit_platform::HaveSystemSpooler()) {
        std::cerr << "orlax-burner: this build has no system print spooler; "
                     "run on the emulated unit with --emulate\n";
        return kExitUsage;
    }
    // The emulated unit answers in real time, as one on the bench; the
    // window's own clock (QtClock) keeps it painted through pauses.
    const auto recordDb = linedb::ChosenConninfo(options->recordDb, error);
    if (!error.empty()) return UsageError(error);
    const auto unit = unit_platform::MakeUnitPlatform(*options, error);
    if (!unit) return UsageError(error);
    return RunWindow(*unit, recordDb, *options, argv[0]);
}

// orlax-burner: the set-up tool's desktop window.
#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>
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
#include "gui/watched_spooler.h"
#include "startup/unit_platform.h"

namespace {

using namespace orlax;

constexpr int kExitUsage = 2;

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

// Runs the main window over `spooler` until it is closed.
int RunWindow(startup::UnitPlatform& unit, const gui::BurnerOptions& options, char* programName) {
    QtArguments qt(programName, options.forQt);
    QApplication application(qt.argc, qt.argv.data());
    if (const std::string leftover = gui::LeftoverError(qt.argc, qt.argv.data()); !leftover.empty())
        return UsageError(leftover);
    QApplication::setApplicationName(QStringLiteral("orlax-burner"));
    QApplication::setApplicationVersion(QStringLiteral(ORLAX_VERSION));
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

    gui::WatchedSpooler spooler(unit.Spooler());
    gui::ProgressModel progress;
    // The spooler's notices show in the progress line, and on stderr.
    unit.SetSpoolerNotice([&progress](std::string_view text) {
        std::cerr << "orlax-burner: " << text << std::endl;
        progress.Notice(text);
    });
    gui::QtClock clock(&progress, &spooler);
    clock.SetTrace(trace.get());
    gui::QtMessagePresenter presenter;
    gui::QtHost host(presenter, &progress, ORLAX_VERSION);
    host.SetTrace(trace.get());
    app::CBurnerApp burner({spooler, clock, host, &progress}, app::AppConfig{options.dataRoot});
    burner.InitInstance();
    unit.SetSpoolerNotice(nullptr);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = gui::ParseBurnerOptions(args, error);
    if (!options) return UsageError(error);
    if (options->help) {
        std::cout << gui::BurnerUsageText();
        return 0;
    }
    if (options->version) {
        std::cout << "orlax-burner " ORLAX_VERSION "\n";
        return 0;
    }
    if (!options->emulate && !startup::HaveSystemSpooler()) {
        std::cerr << "orlax-burner: this build has no system print spooler; "
                     "run on the emulated unit with --emulate\n";
        return kExitUsage;
    }
    // The emulated unit answers in real time, as one on the bench; the
    // window's own clock (QtClock) keeps it painted through pauses.
    const auto unit = startup::MakeUnitPlatform(*options, error);
    if (!unit) return UsageError(error);
    return RunWindow(*unit, *options, argv[0]);
}

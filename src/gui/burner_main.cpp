// orlax-burner: the set-up tool's desktop window.
#include <QApplication>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/burner_app.h"
#include "emulator/emulated_spooler.h"
#include "emulator/scenario.h"
#include "gui/app_icon_image.h"
#include "gui/burner_options.h"
#include "gui/message_presenter.h"
#include "gui/progress_model.h"
#include "gui/qt_clock.h"
#include "gui/qt_host.h"
#ifdef ORLAX_HAVE_CUPS
#include "spooler/cups_queue_service.h"
#include "spooler/cups_spooler.h"
#endif

namespace {

using namespace orlax;

constexpr int kExitUsage = 2;

int UsageError(const std::string& message) {
    std::cerr << "orlax-burner: " << message << "\nTry 'orlax-burner --help'.\n";
    return kExitUsage;
}

// Runs the main window over `spooler` until it is closed.
int RunWindow(platform::Spooler& spooler, const std::string& dataRoot, char* programName) {
    // Qt sees no arguments of ours.
    int qtArgc = 1;
    char* qtArgv[] = {programName, nullptr};
    QApplication application(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("orlax-burner"));
    QApplication::setApplicationVersion(QStringLiteral(ORLAX_VERSION));
    QApplication::setWindowIcon(gui::AppIcon());
    // The main window's modal run is the program; closing a message box
    // before it shows must not end anything.
    QApplication::setQuitOnLastWindowClosed(false);

    gui::ProgressModel progress;
    gui::QtClock clock(&progress);
    gui::QtMessagePresenter presenter;
    gui::QtHost host(presenter, &progress, ORLAX_VERSION);
    app::CBurnerApp burner({spooler, clock, host, &progress}, app::AppConfig{dataRoot});
    burner.InitInstance();
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
    if (options->emulate) {
        emulator::Scenario scenario = emulator::DefaultScenario();
        if (!options->scenarioPath.empty() && !emulator::LoadScenarioFile(options->scenarioPath, scenario, error))
            return UsageError(error);
        // The unit answers in real time, as one on the bench; jobs are
        // streamed through, so a device file of any size costs no memory.
        emulator::EmulatedSpooler spooler(scenario, nullptr, nullptr, emulator::JobBytes::Streamed);
        return RunWindow(spooler, options->dataRoot, argv[0]);
    }
#ifdef ORLAX_HAVE_CUPS
    spooler::CupsSpooler spooler(std::make_unique<spooler::CupsQueueService>());
    return RunWindow(spooler, options->dataRoot, argv[0]);
#else
    std::cerr << "orlax-burner: this build has no system print spooler; "
                 "run on the emulated unit with --emulate\n";
    return kExitUsage;
#endif
}

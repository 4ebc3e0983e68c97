// Opens the desktop windows one after the other on the emulated unit and has
// each photographed by the given command (scripts/screenshot.sh passes one
// that grabs the screen): the main window after GET STATUS, SET DISK
// POSITION and SET OFFSETS, and SET OFFSETS during the pause of a move.
//   orlax-gui-tour SHOT-COMMAND OUTPUT-DIR
// runs "SHOT-COMMAND OUTPUT-DIR/screenshot-NAME.png" for each window.
#include <QApplication>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <iostream>

#include "app/burner_app.h"
#include "app/burner_dlg.h"
#include "emulator/emulated_spooler.h"
#include "gui/app_icon_image.h"
#include "gui/gui_driver.h"
#include "gui/message_presenter.h"
#include "gui/progress_model.h"
#include "gui/qt_clock.h"
#include "gui/qt_dialog_window.h"
#include "gui/qt_host.h"
#include "res/dialog_templates.h"
#include "util/version.h"

namespace {

using orlax::gui::QtDialogWindow;

int failures = 0;

void Shoot(const QString& command, const QString& folder, const QString& name, int settleMs = 800) {
    // Let the window manager frame the window and the window paint.
    QTest::qWait(settleMs);
    const QString path = folder + "/screenshot-" + name + ".png";
    QStringList words = QProcess::splitCommand(command);
    const QString program = words.takeFirst();
    if (QProcess::execute(program, words << path) != 0) {
        std::cerr << "orlax-gui-tour: taking " << path.toStdString() << " failed\n";
        ++failures;
    }
}

}  // namespace

int main(int argc, char** argv) {
    using namespace orlax;
    if (argc != 3) {
        std::cerr << "usage: orlax-gui-tour SHOT-COMMAND OUTPUT-DIR\n";
        return 2;
    }
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setWindowIcon(gui::AppIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    const QString command = QString::fromLocal8Bit(argv[1]);
    if (QProcess::splitCommand(command).isEmpty()) {
        std::cerr << "orlax-gui-tour: no command to take pictures with\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);

    gui::ProgressModel progress;
    gui::QtClock clock(&progress);
    emulator::EmulatedSpooler spooler(emulator::DefaultScenario());
    gui::QtMessagePresenter presenter;
    gui::QtHost host(presenter, &progress, util::kVersion);
    app::CBurnerApp burner({spooler, clock, host}, app::AppConfig{"/nonexistent"});

    host.SetWindowShown([&](QtDialogWindow& window) {
        testing::WaitUntilActive(window);
        switch (window.Template().id) {
            case res::kMainWindowTemplate:
                for (const int id : {app::control::kDiskPosition, app::control::kSetOffsets,
                                     app::control::kGetStatus})
                    QTest::mouseClick(window.Control(id), Qt::LeftButton);
                Shoot(command, folder, "status");
                break;
            case res::kDiskPositionTemplate:
                Shoot(command, folder, "disk-position");
                break;
            case res::kSetOffsetsTemplate:
                Shoot(command, folder, "set-offsets");
                // Halfway through the 2 s pause of a recorder move: the line
                // under the log counts it down.
                QTimer::singleShot(1000, [&] { Shoot(command, folder, "pause", 0); });
                QTest::mouseClick(window.Control(1021), Qt::LeftButton);
                break;
            default:
                break;
        }
        window.EndDialog(platform::kIdCancel);
    });
    burner.InitInstance();
    return failures == 0 ? 0 : 1;
}

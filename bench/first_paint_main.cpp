// orlax_first_paint: builds the desktop window as orlax-burner does (on the
// emulated unit) and prints the steady clock's reading, in nanoseconds, at
// the first paint event of the main window; then closes it. The launching
// benchmark takes the time from the launch to that moment.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <optional>

#include "app/burner_app.h"
#include "emulator/emulated_spooler.h"
#include "emulator/scenario.h"
#include "gui/app_icon_image.h"
#include "gui/message_presenter.h"
#include "gui/progress_model.h"
#include "gui/qt_clock.h"
#include "gui/qt_dialog_window.h"
#include "gui/qt_host.h"
#include "gui/template_dialog.h"
#include "platform/dialog_host.h"

namespace {

using namespace orlax;

// A window that never paints must not hang the benchmark.
constexpr int kGiveUpMs = 20000;

// Notes the first paint of any widget of the main window, then ends it.
class FirstPaintWatch final : public QObject {
public:
    explicit FirstPaintWatch(gui::QtHost& host) : host_(host) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || painted_) return false;
        gui::QtDialogWindow* main = host_.Topmost();
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (!main || !widget || widget->window() != &main->Widget()) return false;
        painted_ = std::chrono::steady_clock::now();
        QTimer::singleShot(0, &main->Widget(), [main] { main->EndDialog(platform::kIdCancel); });
        return false;
    }

    const std::optional<std::chrono::steady_clock::time_point>& Painted() const { return painted_; }

private:
    gui::QtHost& host_;
    std::optional<std::chrono::steady_clock::time_point> painted_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        std::fputs("usage: orlax_first_paint (QT_QPA_PLATFORM chooses the platform)\n", stderr);
        return 2;
    }
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("orlax-burner"));
    QApplication::setWindowIcon(gui::AppIcon());
    QApplication::setQuitOnLastWindowClosed(false);

    emulator::EmulatedSpooler spooler(emulator::DefaultScenario());
    gui::ProgressModel progress;
    gui::QtClock clock(&progress);
    gui::QtMessagePresenter presenter;
    gui::QtHost host(presenter, &progress, "bench");
    app::CBurnerApp burner({spooler, clock, host, &progress}, app::AppConfig{"/nonexistent-data-root"});

    FirstPaintWatch watch(host);
    application.installEventFilter(&watch);
    QTimer::singleShot(kGiveUpMs, &application, [&host] {
        if (gui::QtDialogWindow* main = host.Topmost()) main->EndDialog(platform::kIdCancel);
    });
    burner.InitInstance();

    if (!watch.Painted()) {
        std::fputs("orlax_first_paint: the main window did not paint\n", stderr);
        return 1;
    }
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(watch.Painted()->time_since_epoch());
    std::printf("%lld\n", static_cast<long long>(ns.count()));
    return 0;
}

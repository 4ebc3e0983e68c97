// The dialog host contract (tests/support/host_contract.h) on the Qt host,
// driven by real mouse and keyboard events on the offscreen platform.
#include <QApplication>

#include "gui/gui_driver.h"
#include "gui/qt_dialog_window.h"
#include "gui/qt_host.h"
#include "gui/recording_presenter.h"
#include "support/host_contract.h"

namespace orlax::testing {
namespace {

class QtBed {
public:
    platform::DialogHost& Host() { return host_; }
    int Run(platform::Dialog& dialog, headless::Script script) {
        const ScriptDriver driver(host_, std::move(script));
        return dialog.DoModal();
    }
    void Input(const headless::ScriptAction& step) { Apply(*host_.Topmost(), step); }

private:
    RecordingPresenter presenter_;
    gui::QtHost host_{presenter_, nullptr, "9.9.9"};
};

INSTANTIATE_TYPED_TEST_SUITE_P(Qt, HostContract, QtBed);

}  // namespace
}  // namespace orlax::testing

int main(int argc, char** argv) {
    // Offscreen unless told otherwise, also when ctest lists the tests.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

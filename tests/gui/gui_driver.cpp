#include "gui/gui_driver.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QApplication>

#include "gui/qt_dialog_window.h"
#include "gui/qt_host.h"
#include "platform/dialog.h"

namespace orlax::testing {
namespace {

using Kind = headless::ScriptAction::Kind;

// Where typed keys go: a selector types into its edit field.
QWidget* TypingTarget(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        return combo->lineEdit();
    return control;
}

QWidget* Focused(gui::QtDialogWindow& window) {
    QWidget* focus = window.Widget().focusWidget();
    return focus ? focus : &window.Widget();
}

}  // namespace

bool WaitUntilActive(gui::QtDialogWindow& window) {
    // The window itself, not a window of its family, must have the focus.
    return QTest::qWaitFor([&] { return QApplication::activeWindow() == &window.Widget(); }, 2000);
}

void OnEachWindow(gui::QtHost& host, std::function<void(gui::QtDialogWindow&)> steps) {
    host.SetWindowShown([steps = std::move(steps)](gui::QtDialogWindow& window) {
        WaitUntilActive(window);
        steps(window);
        if (!window.Ended()) window.EndDialog(platform::kIdCancel);
    });
}

void Apply(gui::QtDialogWindow& window, const headless::ScriptAction& action) {
    QWidget* control = window.Control(action.id);
    switch (action.kind) {
        case Kind::Click:
            if (!control && action.id == platform::kIdOk) {
                QTest::keyClick(Focused(window), Qt::Key_Return);
            } else if (!control && action.id == platform::kIdCancel) {
                QTest::keyClick(Focused(window), Qt::Key_Escape);
            } else if (control) {
                QTest::mouseClick(control, Qt::LeftButton);
            }
            return;
        case Kind::Focus:
            if (control) control->setFocus(Qt::OtherFocusReason);
            return;
        case Kind::Type:
            if (!control) return;
            QTest::mouseClick(TypingTarget(control), Qt::LeftButton);
            QTest::keyClick(Focused(window), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(Focused(window), Qt::Key_Delete);
            QTest::keyClicks(Focused(window), QString::fromStdString(action.text));
            return;
        case Kind::Leave:
            if (control) control->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(Focused(window), Qt::Key_Tab);
            return;
        case Kind::Tab:
            QTest::keyClick(Focused(window), Qt::Key_Tab);
            return;
        case Kind::ListItems:
        case Kind::FrontEnd:  // orlaxctl's own steps have no window input
            return;
    }
}

ScriptDriver::ScriptDriver(gui::QtHost& host, headless::Script script,
                           std::function<void(gui::QtDialogWindow&)> beforeClose)
    : script_(std::move(script)), beforeClose_(std::move(beforeClose)) {
    host.SetWindowShown([this](gui::QtDialogWindow& window) { Drive(window); });
}

void ScriptDriver::Drive(gui::QtDialogWindow& window) {
    WaitUntilActive(window);
    while (!window.Ended() && !script_.empty()) {
        const headless::ScriptAction action = std::move(script_.front());
        script_.pop_front();
        Apply(window, action);
    }
    if (window.Ended()) return;
    if (beforeClose_) beforeClose_(window);
    window.EndDialog(platform::kIdCancel);
}

}  // namespace orlax::testing

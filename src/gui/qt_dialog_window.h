// One live window of the desktop program, built from its template: the
// dialog reads and writes its controls through this, and the window turns
// clicks, focus losses, Enter, Escape, the close box and the window menu into
// the dialog's notifications, one handler at a time.
//
// Focus: a control that loses the input focus for any reason (a click on
// another control, Tab, a message box or another window taking the focus)
// sends its kill-focus notification at once, so before the click that took
// the focus (the focus moves when the button is pressed, the click comes
// when it is released). Opening its own drop-down list does not count.
//
// Keys: Escape gives the Cancel command. Enter clicks the push button that
// has the focus; in an editable selector it takes the typed text by moving the
// focus on, as Tab does; elsewhere it gives the template's default button, and
// does nothing on a window that has none (the main window: Enter must not end
// the program). Alt+Space or a right click on the window opens its menu.
#pragma once

#include <QPoint>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/task_queue.h"
#include "gui/window_builder.h"
#include "platform/dialog_window.h"

class QKeyEvent;
class QMenu;
class QWidget;

namespace orlax::platform {
class Dialog;
}

namespace orlax::gui {

class EventTrace;
class ProgressLine;
class ProgressModel;

class QtDialogWindow final : public platform::DialogWindow {
public:
    QtDialogWindow(const res::DialogTemplate& dialogTemplate, platform::Dialog& dialog, QWidget* owner);
    ~QtDialogWindow() override;
    QtDialogWindow(const QtDialogWindow&) = delete;
    QtDialogWindow& operator=(const QtDialogWindow&) = delete;

    // The dialog's side.
    std::string GetItemText(int id) const override;
    void SetItemText(int id, std::string_view text) override;
    int ComboInsertString(int id, int index, std::string_view text) override;
    int ComboSetCurSel(int id, int index) override;
    void AppendSystemMenu(int commandId, std::string_view text) override;
    void UpdateWindow() override;
    void EndDialog(int result) override;

    // The host's side.
    // Runs `handler` as one of this window's handlers, under the busy cursor:
    // notifications that arrive meanwhile wait for it. Input that the window
    // system held back during it (see QtClock) is handled as soon as the
    // last waiting handler has returned. `name` goes into the trace.
    void RunHandler(std::function<void()> handler, std::string name = "handler");
    // A notification from control `id`, routed through the message map.
    void Notify(std::uint16_t code, int id);
    // A command of the window menu.
    void SystemCommand(int commandId);
    // Gives the input focus to the first visible tab stop in template order.
    void FocusFirstTabStop();
    // Shows the window modally over its owner until EndDialog; its result.
    int Exec();
    // A thin line in the margin under control `id` showing `model` (the
    // window grows a little if the margin is lower than a line of text).
    void AttachProgressLine(ProgressModel& model, int id);
    // Writes the handlers run and returned to `trace` (nullptr: none).
    void SetTrace(EventTrace* trace) { trace_ = trace; }

    bool Ended() const { return ended_; }
    int Result() const { return result_; }
    bool HandlerRunning() const { return queue_.Running(); }
    const res::DialogTemplate& Template() const { return template_; }
    const BuiltWindow& Built() const { return built_; }
    TemplateDialog& Widget() const { return *built_.dialog; }
    QWidget* Control(int id) const;
    ProgressLine* Progress() const { return progressLine_; }
    // The window menu: the close entry, then what the dialog appended.
    QMenu& WindowMenu();
    void ShowWindowMenu(const QPoint& global);

private:
    class Events;

    bool OnKey(QWidget* target, QKeyEvent* event);
    void OnEnter(QWidget* target);
    void OnFocusLost(const BuiltControl& control);
    int DefaultButtonId() const;

    const res::DialogTemplate& template_;
    platform::Dialog& dialog_;
    BuiltWindow built_;
    std::unique_ptr<Events> events_;
    QMenu* menu_ = nullptr;  // owned by the window
    std::vector<std::pair<int, std::string>> menuEntries_;
    ProgressLine* progressLine_ = nullptr;
    TaskQueue queue_;
    EventTrace* trace_ = nullptr;
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace orlax::gui

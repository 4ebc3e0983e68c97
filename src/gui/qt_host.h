// The desktop window system behind the dialog layer: builds each dialog's
// window from its template, runs it modally over the window below it, and
// shows message boxes through a presenter.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/dialog_host.h"

namespace orlax::gui {

class EventTrace;
class MessagePresenter;
class ProgressModel;
class QtDialogWindow;

class QtHost final : public platform::DialogHost {
public:
    // `progress`, when given, is shown in a line under the main window's log.
    // `programVersion` goes into the About box.
    QtHost(MessagePresenter& presenter, ProgressModel* progress, std::string programVersion);

    int RunModal(platform::Dialog& dialog) override;
    int MessageBox(std::string_view text, std::string_view caption, unsigned type) override;

    // Called for each window once it is up and its modal loop runs (from
    // inside that loop): what drives the windows in tests and screenshots.
    void SetWindowShown(std::function<void(QtDialogWindow&)> shown) { shown_ = std::move(shown); }

    // Writes each window's showing (with its controls' places), its handlers
    // and its closing to `trace` (nullptr: none).
    void SetTrace(EventTrace* trace) { trace_ = trace; }

    // The topmost open window, or nullptr.
    QtDialogWindow* Topmost() const { return stack_.empty() ? nullptr : stack_.back(); }

private:
    void ShowAbout();

    MessagePresenter& presenter_;
    ProgressModel* progress_;
    std::string programVersion_;
    std::vector<QtDialogWindow*> stack_;
    std::function<void(QtDialogWindow&)> shown_;
    EventTrace* trace_ = nullptr;
};

}  // namespace orlax::gui

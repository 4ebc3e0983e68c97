// A window system without a display: windows built from the templates keep
// their item texts and combo lists, the host owns the input focus, and the
// steps come from a script. Focus moves send the kill-focus notification of
// the control that had the focus before anything else happens.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog_host.h"
#include "platform/dialog_window.h"
#include "headless/script.h"

namespace orlax::res {
struct DialogTemplate;
}

namespace orlax::headless {

using platform::Dialog;
using platform::DialogHost;
using platform::DialogWindow;


class HeadlessWindow;

class HeadlessHost final : public DialogHost {
public:
    // Message boxes and list output are written to the given streams.
    HeadlessHost(Script script, std::ostream& listOut, std::ostream& messageOut);
    ~HeadlessHost() override;

    int RunModal(Dialog& dialog) override;
    int MessageBox(std::string_view text, std::string_view caption, unsigned type) override;

    // Called once, right after the first window's initialisation.
    void SetOnFirstWindowReady(std::function<void()> callback) { onReady_ = std::move(callback); }
    // Adds steps to the end of the script.
    void Append(ScriptAction action) { script_.push_back(std::move(action)); }

    // Called after every step that ran in its window; returning false stops
    // the session there: every open window closes without notifications.
    using AfterStep = std::function<bool(const ScriptAction&)>;
    void SetAfterStep(AfterStep afterStep) { afterStep_ = std::move(afterStep); }
    // Whether the running step has failed so far. Asked right after a
    // dialog's initialisation: a dialog whose opening failed (a command it
    // sends as it opens) closes at once, without notifications, and none of
    // its steps runs.
    using StepFailed = std::function<bool()>;
    void SetStepFailed(StepFailed stepFailed) { stepFailed_ = std::move(stepFailed); }
    // Carries out the steps of kind FrontEnd.
    using FrontEndStep = std::function<void(const ScriptAction&)>;
    void SetFrontEndStep(FrontEndStep step) { frontEndStep_ = std::move(step); }

    // A step that could not be applied; the session ended there.
    bool HasUsageError() const { return !usageError_.empty(); }
    const std::string& UsageError() const { return usageError_; }
    // The session was stopped after a step (see SetAfterStep).
    bool Stopped() const { return stopped_; }
    // Steps left when the last window closed.
    const Script& Remaining() const { return script_; }

    // A click meant to open a dialog whose dialog did not open, or closed
    // as it opened, and the steps written for that dialog, which ran in no
    // window.
    struct SkippedDialog {
        ScriptAction opener;
        std::vector<ScriptAction> steps;
        bool closedAsItOpened = false;  // it opened, but its opening failed
    };
    const std::vector<SkippedDialog>& SkippedDialogs() const { return skipped_; }

    // What the tests look at.
    const std::vector<std::pair<std::string, std::string>>& MessageBoxes() const { return boxes_; }
    int UpdateCount() const { return updates_; }
    // The topmost open window, or nullptr.
    HeadlessWindow* Topmost() const;

private:
    friend class HeadlessWindow;
    struct Frame {
        Dialog* dialog;
        HeadlessWindow* window;
        int group;  // the steps written for this window
    };

    // Runs the next step in the window it was written for.
    void RunStep(Frame& frame);
    void Apply(const ScriptAction& action, Frame& frame);
    void MoveFocus(Frame& frame, int id);
    // Drops the steps written for the dialog that `opener` did not open, or
    // that closed as it opened.
    void SkipDialog(const ScriptAction& opener, bool closedAsItOpened);
    void Stop();
    void Fail(std::string message);

    Script script_;
    std::ostream& listOut_;
    std::ostream& messageOut_;
    std::deque<Frame> stack_;  // references to frames stay valid while dialogs open above them
    AfterStep afterStep_;
    StepFailed stepFailed_;
    FrontEndStep frontEndStep_;
    int openingGroup_ = 0;   // the group of the dialog the running step may open
    int dialogsOpened_ = 0;
    bool openingFailed_ = false;  // the dialog the running step opened closed as it opened
    bool stopped_ = false;
    std::vector<SkippedDialog> skipped_;
    std::function<void()> onReady_;
    bool firstReady_ = false;
    std::string usageError_;
    std::vector<std::pair<std::string, std::string>> boxes_;
    int updates_ = 0;
};

// One window of the headless host.
class HeadlessWindow final : public DialogWindow {
public:
    HeadlessWindow(const res::DialogTemplate& dialogTemplate, HeadlessHost& host);

    std::string GetItemText(int id) const override;
    void SetItemText(int id, std::string_view text) override;
    int ComboInsertString(int id, int index, std::string_view text) override;
    int ComboSetCurSel(int id, int index) override;
    void AppendSystemMenu(int commandId, std::string_view text) override;
    void UpdateWindow() override;
    void EndDialog(int result) override;

    const res::DialogTemplate& Template() const { return template_; }
    int Focus() const { return focus_; }
    bool Ended() const { return ended_; }
    int Result() const { return result_; }
    const std::vector<std::string>& ComboItems(int id) const;
    const std::vector<std::pair<int, std::string>>& SystemMenu() const { return systemMenu_; }

private:
    friend class HeadlessHost;

    const res::DialogTemplate& template_;
    HeadlessHost& host_;
    std::map<int, std::string> texts_;
    std::map<int, std::vector<std::string>> comboItems_;
    std::vector<std::pair<int, std::string>> systemMenu_;
    int focus_ = 0;  // 0: no control has the focus
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace orlax::headless

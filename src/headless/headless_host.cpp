#include "headless/headless_host.h"

#include <utility>

#include "platform/dialog.h"
#include "res/dialog_templates.h"

namespace orlax::headless {

using namespace platform;  // the dialog layer this host implements

namespace {

using res::ControlKind;
using res::ControlTemplate;
using res::DialogTemplate;

bool IsTabStop(const ControlTemplate& control) {
    return (control.style & res::kTabStop) && (control.style & res::kVisible) &&
           control.id != res::kIdStatic;
}

// The first tab stop after control `from` in template order, wrapping
// around; 0 when the window has none.
int NextTabStop(const DialogTemplate& dialog, int from) {
    const auto& controls = dialog.controls;
    const std::size_t count = controls.size();
    std::size_t start = count - 1;
    for (std::size_t i = 0; i < count; ++i)
        if (controls[i].id == from && from != res::kIdStatic) start = i;
    for (std::size_t step = 1; step <= count; ++step) {
        const auto& control = controls[(start + step) % count];
        if (IsTabStop(control)) return control.id;
    }
    return 0;
}

std::uint16_t KillFocusCode(const ControlTemplate& control) {
    switch (control.kind) {
        case ControlKind::Edit: return kEnKillFocus;
        case ControlKind::ComboBox: return kCbnKillFocus;
        default: return 0;
    }
}

bool TakesTypedText(const ControlTemplate& control) {
    return control.kind == ControlKind::ComboBox ||
           (control.kind == ControlKind::Edit && !(control.style & res::kReadOnly));
}

}  // namespace

HeadlessHost::HeadlessHost(Script script, std::ostream& listOut, std::ostream& messageOut)
    : script_(std::move(script)), listOut_(listOut), messageOut_(messageOut) {}

HeadlessHost::~HeadlessHost() = default;

HeadlessWindow* HeadlessHost::Topmost() const {
    return stack_.empty() ? nullptr : stack_.back().window;
}

int HeadlessHost::RunModal(Dialog& dialog) {
    const DialogTemplate* dialogTemplate = res::FindDialogTemplate(dialog.TemplateId());
    if (!dialogTemplate || HasUsageError()) return -1;

    HeadlessWindow window(*dialogTemplate, *this);
    dialog.Attach(&window);
    // The first window is the main window; a dialog takes the steps written
    // for it by the click that opened it.
    const int group = stack_.empty() ? 0 : std::exchange(openingGroup_, 0);
    ++dialogsOpened_;
    stack_.push_back({&dialog, &window, group});
    Frame& frame = stack_.back();

    const bool focusFirstTabStop = dialog.OnInitDialog();
    if (group != 0 && stepFailed_ && stepFailed_()) {
        // Its opening failed: nothing written for it may run, and closing it
        // sends nothing (no control had the focus, so none hears of losing it).
        openingFailed_ = true;
        window.EndDialog(kIdCancel);
    } else if (focusFirstTabStop && !window.ended_) {
        window.focus_ = NextTabStop(*dialogTemplate, res::kIdStatic);
    }
    if (!firstReady_) {
        firstReady_ = true;
        if (onReady_) onReady_();
    }
    while (!window.ended_ && !HasUsageError() && !stopped_) {
        if (script_.empty() || (stack_.size() > 1 && script_.front().group != frame.group)) {
            // The script is done with this window: it closes without further
            // notifications.
            window.EndDialog(kIdCancel);
            break;
        }
        RunStep(frame);
    }

    stack_.pop_back();
    dialog.Attach(nullptr);
    return HasUsageError() ? -1 : window.result_;
}

void HeadlessHost::RunStep(Frame& frame) {
    const ScriptAction action = std::move(script_.front());
    script_.pop_front();
    if (action.group != frame.group) {
        // Written for a dialog that is no longer open: it runs nowhere else.
        if (skipped_.empty() || skipped_.back().opener.opensGroup != action.group) {
            ScriptAction opener;
            opener.opensGroup = action.group;
            skipped_.push_back({std::move(opener), {}});
        }
        skipped_.back().steps.push_back(action);
        return;
    }
    openingGroup_ = action.opensGroup;
    openingFailed_ = false;
    const int openedBefore = dialogsOpened_;
    Apply(action, frame);
    openingGroup_ = 0;
    if (action.opensGroup != 0 && (dialogsOpened_ == openedBefore || openingFailed_))
        SkipDialog(action, openingFailed_);
    if (!stopped_ && !HasUsageError() && afterStep_ && !afterStep_(action)) Stop();
}

void HeadlessHost::SkipDialog(const ScriptAction& opener, bool closedAsItOpened) {
    SkippedDialog skipped{opener, {}, closedAsItOpened};
    while (!script_.empty() && script_.front().group == opener.opensGroup) {
        skipped.steps.push_back(std::move(script_.front()));
        script_.pop_front();
    }
    skipped_.push_back(std::move(skipped));
}

void HeadlessHost::Stop() {
    stopped_ = true;
    for (auto& frame : stack_) frame.window->EndDialog(kIdCancel);
}

void HeadlessHost::Apply(const ScriptAction& action, Frame& frame) {
    using Kind = ScriptAction::Kind;
    HeadlessWindow& window = *frame.window;
    const DialogTemplate& dialogTemplate = window.template_;

    if (action.kind == Kind::Tab) {
        MoveFocus(frame, NextTabStop(dialogTemplate, window.focus_));
        return;
    }
    if (action.kind == Kind::FrontEnd) {
        if (frontEndStep_)
            frontEndStep_(action);
        else
            Fail("'" + action.source + "': this front end has no such step");
        return;
    }
    const ControlTemplate* control = res::FindControl(dialogTemplate, action.id);
    if (!control && action.kind == Kind::Click && (action.id == kIdOk || action.id == kIdCancel)) {
        // A window without OK or Cancel buttons still takes both commands,
        // as Enter and Escape give them: no focus moves.
        frame.dialog->OnCommand(kBnClicked, action.id);
        return;
    }
    if (!control) {
        Fail("'" + action.source + "': the window \"" + std::string(dialogTemplate.caption) +
             "\" has no control " + std::to_string(action.id));
        return;
    }
    switch (action.kind) {
        case Kind::Click:
            MoveFocus(frame, action.id);
            if (window.ended_ || HasUsageError() || control->kind != ControlKind::Button) return;
            if (!frame.dialog->OnCommand(kBnClicked, action.id))
                Fail("'" + action.source + "': the button " + std::to_string(action.id) + " (" +
                     std::string(control->text) + ") has no operation");
            return;
        case Kind::Focus:
            MoveFocus(frame, action.id);
            return;
        case Kind::Type:
            if (!TakesTypedText(*control)) {
                Fail("'" + action.source + "': control " + std::to_string(action.id) +
                     " does not take typed text");
                return;
            }
            MoveFocus(frame, action.id);
            if (!window.ended_ && !HasUsageError()) window.texts_[action.id] = action.text;
            return;
        case Kind::Leave:
            MoveFocus(frame, action.id);
            if (!window.ended_ && !HasUsageError())
                MoveFocus(frame, NextTabStop(dialogTemplate, action.id));
            return;
        case Kind::ListItems:
            if (control->kind != ControlKind::ComboBox) {
                Fail("'" + action.source + "': control " + std::to_string(action.id) +
                     " has no list");
                return;
            }
            for (const auto& item : window.ComboItems(action.id)) listOut_ << item << '\n';
            listOut_.flush();
            return;
        case Kind::Tab:
        case Kind::FrontEnd:
            return;
    }
}

// The control that had the focus hears of its loss first, and its handler
// runs to completion before anything else happens.
void HeadlessHost::MoveFocus(Frame& frame, int id) {
    HeadlessWindow& window = *frame.window;
    if (window.focus_ == id) return;
    const int previous = window.focus_;
    window.focus_ = id;
    if (previous == 0) return;
    if (const ControlTemplate* control = res::FindControl(window.template_, previous)) {
        if (const std::uint16_t code = KillFocusCode(*control))
            frame.dialog->OnCommand(code, previous);
    }
}

void HeadlessHost::Fail(std::string message) {
    if (usageError_.empty()) usageError_ = std::move(message);
    for (auto& frame : stack_) frame.window->EndDialog(-1);
}

int HeadlessHost::MessageBox(std::string_view text, std::string_view caption, unsigned /*type*/) {
    boxes_.emplace_back(caption, text);
    messageOut_ << caption << ": " << text << '\n';
    messageOut_.flush();
    return kIdOk;
}

HeadlessWindow::HeadlessWindow(const res::DialogTemplate& dialogTemplate, HeadlessHost& host)
    : template_(dialogTemplate), host_(host) {
    for (const auto& control : dialogTemplate.controls)
        if (control.id != res::kIdStatic) texts_[control.id] = std::string(control.text);
}

std::string HeadlessWindow::GetItemText(int id) const {
    const auto it = texts_.find(id);
    return it == texts_.end() ? std::string() : it->second;
}

void HeadlessWindow::SetItemText(int id, std::string_view text) {
    if (res::FindControl(template_, id)) texts_[id] = std::string(text);
}

int HeadlessWindow::ComboInsertString(int id, int index, std::string_view text) {
    const ControlTemplate* control = res::FindControl(template_, id);
    if (!control || control->kind != ControlKind::ComboBox) return -1;
    auto& items = comboItems_[id];
    if (index < 0) index = static_cast<int>(items.size());
    if (static_cast<std::size_t>(index) > items.size()) return -1;
    items.insert(items.begin() + index, std::string(text));
    return index;
}

int HeadlessWindow::ComboSetCurSel(int id, int index) {
    const auto it = comboItems_.find(id);
    if (it == comboItems_.end() || index < 0 || static_cast<std::size_t>(index) >= it->second.size())
        return -1;
    texts_[id] = it->second[static_cast<std::size_t>(index)];
    return index;
}

const std::vector<std::string>& HeadlessWindow::ComboItems(int id) const {
    static const std::vector<std::string> none;
    const auto it = comboItems_.find(id);
    return it == comboItems_.end() ? none : it->second;
}

void HeadlessWindow::AppendSystemMenu(int commandId, std::string_view text) {
    systemMenu_.emplace_back(commandId, std::string(text));
}

void HeadlessWindow::UpdateWindow() { ++host_.updates_; }

void HeadlessWindow::EndDialog(int result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
}

}  // namespace orlax::headless

#include "cli/script_windows.h"

#include <array>
#include <map>

#include "res/control_ids.h"
#include "platform/dialog_host.h"
#include "res/dialog_templates.h"

namespace orlax::cli {
namespace {

using headless::ScriptAction;

// The main window's buttons that open a dialog, and its template.
struct DialogOpener {
    int button;
    int dialogTemplate;
};
constexpr std::array kDialogOpeners{
    DialogOpener{res::main_window::kDiskPosition, res::kDiskPositionTemplate},
    DialogOpener{res::main_window::kSetOffsets, res::kSetOffsetsTemplate},
};

const DialogOpener* OpenerOf(const ScriptAction& action) {
    if (action.kind != ScriptAction::Kind::Click) return nullptr;
    for (const auto& opener : kDialogOpeners)
        if (opener.button == action.id) return &opener;
    return nullptr;
}

bool ClosesDialog(const ScriptAction& action) {
    return action.kind == ScriptAction::Kind::Click &&
           (action.id == platform::kIdOk || action.id == platform::kIdCancel);
}

}  // namespace

void AssignWindows(headless::Script& script) {
    int groups = 0;
    int open = 0;  // the group of the dialog being written for, 0 for the main window
    int step = 0;
    const std::string* lastSource = nullptr;
    for (auto& action : script) {
        // `queue NAME` is one action made of two steps.
        if (!lastSource || action.source != *lastSource || action.kind != ScriptAction::Kind::Leave) ++step;
        lastSource = &action.source;
        action.step = step;
        action.group = open;
        if (open == 0) {
            if (OpenerOf(action)) action.opensGroup = open = ++groups;
        } else if (ClosesDialog(action)) {
            open = 0;
        }
    }
}

bool CheckControls(const headless::Script& script, std::string& error) {
    std::map<int, int> templateOf{{0, res::kMainWindowTemplate}};
    for (const auto& action : script) {
        if (const DialogOpener* opener = OpenerOf(action); opener && action.opensGroup != 0)
            templateOf[action.opensGroup] = opener->dialogTemplate;
        if (action.kind == ScriptAction::Kind::Tab || action.kind == ScriptAction::Kind::FrontEnd ||
            ClosesDialog(action))
            continue;
        const res::DialogTemplate* window = res::FindDialogTemplate(templateOf[action.group]);
        if (window && !res::FindControl(*window, action.id)) {
            error = "'" + action.source + "': the window \"" + std::string(window->caption) +
                    "\" has no control " + std::to_string(action.id);
            return false;
        }
    }
    return true;
}

}  // namespace orlax::cli

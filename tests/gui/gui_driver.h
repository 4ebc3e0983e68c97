// Drives the desktop windows the way a person does: mouse clicks on the
// controls, typing, Tab. The steps are the same scripted actions that the
// headless host takes, so one script runs through both hosts.
#pragma once

#include <functional>

#include "headless/script.h"

namespace orlax::gui {
class QtDialogWindow;
class QtHost;
}  // namespace orlax::gui

namespace orlax::testing {

// Waits (briefly) until `window` is shown and active.
bool WaitUntilActive(gui::QtDialogWindow& window);

// Has `steps` done on each window of `host` once it is up and active; a
// window still open afterwards (a step failed, or had nothing to close it)
// closes with Cancel, so a failing test never hangs in a modal loop.
void OnEachWindow(gui::QtHost& host, std::function<void(gui::QtDialogWindow&)> steps);

// Applies one step to `window`: Click presses and releases the mouse on the
// control (Enter or Escape for OK and Cancel on a window without them);
// Focus gives it the focus; Type clicks into the field, selects its text and
// types over it; Leave focuses the control and presses Tab; Tab presses Tab.
void Apply(gui::QtDialogWindow& window, const headless::ScriptAction& action);

// Runs `script` on the host's windows as they come up, in order; a window
// whose steps are done closes with Cancel (as the headless host closes it).
// `beforeClose` sees each window just before that.
class ScriptDriver {
public:
    ScriptDriver(gui::QtHost& host, headless::Script script,
                 std::function<void(gui::QtDialogWindow&)> beforeClose = {});

    const headless::Script& Remaining() const { return script_; }

private:
    void Drive(gui::QtDialogWindow& window);

    headless::Script script_;
    std::function<void(gui::QtDialogWindow&)> beforeClose_;
};

}  // namespace orlax::testing

// Which window each step of a script was written for. The steps after a
// click that opens a dialog, up to and including the ok or cancel that
// closes it, belong to that dialog; every other step to the main window.
// A step runs only in its own window, so a script for a dialog that did not
// open never touches the main window.
#pragma once

#include <string>

#include "headless/script.h"

namespace orlax::cli {

// Numbers the steps and marks each with the window it was written for.
void AssignWindows(headless::Script& script);

// Whether every step names a control its window has; on the first that
// does not, false with a one-line message naming the step.
bool CheckControls(const headless::Script& script, std::string& error);

}  // namespace orlax::cli

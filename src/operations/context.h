// What an operation of the main window works with: the operator log, the
// link to the unit, the outcome it notes its failures in, the clock, the
// progress line, and the window whose log box it repaints before a long step.
#pragma once

#include "platform/dialog.h"

namespace orlax::platform {
class Clock;
class Progress;
}  // namespace orlax::platform

namespace orlax::device {
class DeviceLink;
}

namespace orlax::operations {

class OperatorLog;
class Outcome;

struct Context {
    OperatorLog& log;
    device::DeviceLink& link;
    Outcome& outcome;
    platform::Clock& clock;
    platform::Progress* progress;  // null when nothing shows how a wait goes
    platform::Dialog& window;      // the main window

    // Shows the log's latest text before a long step.
    void UpdateWindow() const { window.UpdateWindow(); }
};

}  // namespace orlax::operations

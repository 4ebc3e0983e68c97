#include "operations/move_sequences.h"

#include "device/device_link.h"
#include "operations/outcome.h"
#include "platform/clock.h"

namespace orlax::operations {

// Every step runs whatever came of the one before, waits included, as the
// unit's set-up procedure orders; a send that failed has written its own
// text to the log and still counts as the operation's failure.
void RunSequence(device::DeviceLink& link, Outcome& outcome, std::span<const MoveStep> steps) {
    for (const MoveStep& s : steps) {
        switch (s.kind) {
            case MoveStep::Kind::Send:
                outcome.GoOn(link.SendCommand(s.code));
                break;
            case MoveStep::Kind::Wait:
                link.Clock().Sleep(s.ms);
                break;
            case MoveStep::Kind::StatusRead:
                link.GetDeviceStatus().IgnoreFailure();  // the tray flag stays as it was
                break;
            case MoveStep::Kind::SendByTray:
                outcome.GoOn(link.SendCommand(link.State().trayIn ? s.code : s.otherCode));
                break;
        }
    }
}

}  // namespace orlax::operations

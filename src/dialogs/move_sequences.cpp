#include "dialogs/move_sequences.h"

#include "device/device_link.h"
#include "operations/outcome.h"
#include "platform/clock.h"

namespace orlax::dialogs {

// Every step runs whatever came of the one before, as the behaviour has it;
// a send that failed still counts as the operation's failure.
void RunSequence(device::DeviceLink& link, operations::Outcome& outcome, std::span<const MoveStep> steps) {
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

}  // namespace orlax::dialogs

#include "dialogs/move_sequences.h"

#include "device/device_link.h"
#include "platform/clock.h"

namespace orlax::dialogs {

void RunSequence(device::DeviceLink& link, std::span<const MoveStep> steps) {
    for (const MoveStep& s : steps) {
        switch (s.kind) {
            case MoveStep::Kind::Send:
                link.SendCommand(s.code);
                break;
            case MoveStep::Kind::Wait:
                link.Clock().Sleep(s.ms);
                break;
            case MoveStep::Kind::StatusRead:
                link.GetDeviceStatus();
                break;
            case MoveStep::Kind::SendByTray:
                link.SendCommand(link.State().trayIn ? s.code : s.otherCode);
                break;
        }
    }
}

}  // namespace orlax::dialogs

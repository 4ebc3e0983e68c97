// SET DISK POSITION (template 138): the disc-image print offsets, vertical
// (edit 1015) and horizontal (edit 1001). Leaving a field takes its value
// into the mirror; OK reads both fields and sends them in one
// SetImageOffset; Cancel sends nothing.
#pragma once

#include <span>

#include "platform/dialog.h"
#include "res/control_ids.h"

namespace orlax::device {
class DeviceLink;
}

namespace orlax::operations {
class Outcome;
}

namespace orlax::dialogs {

namespace disk_position = res::disk_position;

class CDiskPositionDlg : public platform::MappedDialog<CDiskPositionDlg> {
public:
    CDiskPositionDlg(platform::DialogHost& host, device::DeviceLink& link, operations::Outcome& outcome);

    static std::span<const platform::MessageEntry<CDiskPositionDlg>> MessageMap();

    // Shows the mirror's values as they are, without the limit.
    bool OnInitDialog() override;
    // Reads both fields under the rule, sends them, closes whatever the send gave.
    void OnOK() override;

    void OnKillFocusVertical();
    void OnKillFocusHorizontal();

private:
    device::DeviceLink& link_;
    operations::Outcome& outcome_;
};

}  // namespace orlax::dialogs

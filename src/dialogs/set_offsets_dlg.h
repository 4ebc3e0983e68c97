// SET OFFSETS (template 137): the mechanical position offsets. Opening it
// fills the nine fields from the mirror and sends OffsetsSetup; each field
// sends its value the moment it loses the focus; the MOVE, pick and TEST
// buttons run their mechanism sequences. OK and Cancel only close it.
#pragma once

#include <span>

#include "platform/dialog.h"

namespace orlax::device {
class DeviceLink;
}

namespace orlax::operations {
class Outcome;
}

namespace orlax::dialogs {

class CSetOffsetsDlg : public platform::MappedDialog<CSetOffsetsDlg> {
public:
    CSetOffsetsDlg(platform::DialogHost& host, device::DeviceLink& link, operations::Outcome& outcome);

    static std::span<const platform::MessageEntry<CSetOffsetsDlg>> MessageMap();

    bool OnInitDialog() override;

    void OnKillFocusLeftBin();
    void OnKillFocusRecorderUpper();
    void OnKillFocusRecorderLower();
    void OnKillFocusPrinter();
    void OnKillFocusRightBin();
    void OnKillFocusHook();
    void OnKillFocusTrayOut();
    void OnKillFocusPickerSwitch();
    void OnKillFocusArmHome();

    void OnMoveLeftBin();
    void OnMoveRecorderUpper();
    void OnMoveRecorderLower();
    void OnMovePrinter();
    void OnMoveRightBin();
    void OnMoveHook();
    void OnPick();
    void OnTestTray();

private:
    // Reads edit `editId` under its row's rule, stores the value in the
    // mirror and sends it, then does what the row adds.
    void LeaveField(int editId);

    device::DeviceLink& link_;
    operations::Outcome& outcome_;
};

}  // namespace orlax::dialogs

#include "dialogs/disk_position_dlg.h"

#include <array>

#include "device/device_link.h"
#include "dialogs/offset_field.h"
#include "operations/outcome.h"
#include "res/dialog_templates.h"

namespace orlax::dialogs {

using Entry = platform::MessageEntry<CDiskPositionDlg>;

CDiskPositionDlg::CDiskPositionDlg(platform::DialogHost& host, device::DeviceLink& link,
                                   operations::Outcome& outcome)
    : MappedDialog(res::kDiskPositionTemplate, host), link_(link), outcome_(outcome) {}

std::span<const Entry> CDiskPositionDlg::MessageMap() {
    static constexpr std::array kMap{
        Entry{platform::kEnKillFocus, disk_position::kVertical, &CDiskPositionDlg::OnKillFocusVertical},
        Entry{platform::kEnKillFocus, disk_position::kHorizontal, &CDiskPositionDlg::OnKillFocusHorizontal},
    };
    return kMap;
}

bool CDiskPositionDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const auto& mirror = link_.State().mirror;
    SetDlgItemText(disk_position::kVertical, FormatOffset(mirror.verticalOffset));
    SetDlgItemText(disk_position::kHorizontal, FormatOffset(mirror.horizontalOffset));
    return true;
}

void CDiskPositionDlg::OnKillFocusVertical() {
    link_.State().mirror.verticalOffset = ReadOffsetField(*this, disk_position::kVertical);
}

void CDiskPositionDlg::OnKillFocusHorizontal() {
    link_.State().mirror.horizontalOffset = ReadOffsetField(*this, disk_position::kHorizontal);
}

void CDiskPositionDlg::OnOK() {
    auto& mirror = link_.State().mirror;
    mirror.verticalOffset = ReadOffsetField(*this, disk_position::kVertical);
    mirror.horizontalOffset = ReadOffsetField(*this, disk_position::kHorizontal);
    outcome_.GoOn(link_.SetImageOffset());
    Dialog::OnOK();
}

}  // namespace orlax::dialogs

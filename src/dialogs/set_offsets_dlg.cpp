#include "dialogs/set_offsets_dlg.h"

#include <algorithm>
#include <array>

#include "device/device_link.h"
#include "dialogs/offset_field.h"
#include "dialogs/offset_rows.h"
#include "operations/move_sequences.h"
#include "operations/outcome.h"
#include "res/dialog_templates.h"

namespace orlax::dialogs {

using Entry = platform::MessageEntry<CSetOffsetsDlg>;
using platform::kBnClicked;
using platform::kEnKillFocus;
using operations::RunSequence;
namespace sequence = operations::sequence;

CSetOffsetsDlg::CSetOffsetsDlg(platform::DialogHost& host, device::DeviceLink& link,
                                   operations::Outcome& outcome)
    : MappedDialog(res::kSetOffsetsTemplate, host), link_(link), outcome_(outcome) {}

std::span<const Entry> CSetOffsetsDlg::MessageMap() {
    using namespace set_offsets;
    using D = CSetOffsetsDlg;
    static constexpr std::array kMap{
        Entry{kEnKillFocus, kLeftBin, &D::OnKillFocusLeftBin},
        Entry{kEnKillFocus, kRecorderUpper, &D::OnKillFocusRecorderUpper},
        Entry{kEnKillFocus, kRecorderLower, &D::OnKillFocusRecorderLower},
        Entry{kEnKillFocus, kPrinter, &D::OnKillFocusPrinter},
        Entry{kEnKillFocus, kRightBin, &D::OnKillFocusRightBin},
        Entry{kEnKillFocus, kHook, &D::OnKillFocusHook},
        Entry{kEnKillFocus, kTrayOut, &D::OnKillFocusTrayOut},
        Entry{kEnKillFocus, kPickerSwitch, &D::OnKillFocusPickerSwitch},
        Entry{kEnKillFocus, kArmHome, &D::OnKillFocusArmHome},
        Entry{kBnClicked, kMoveLeftBin, &D::OnMoveLeftBin},
        Entry{kBnClicked, kMoveRecorderUpper, &D::OnMoveRecorderUpper},
        Entry{kBnClicked, kMoveRecorderLower, &D::OnMoveRecorderLower},
        Entry{kBnClicked, kMovePrinter, &D::OnMovePrinter},
        Entry{kBnClicked, kMoveRightBin, &D::OnMoveRightBin},
        Entry{kBnClicked, kMoveHook, &D::OnMoveHook},
        Entry{kBnClicked, kPick, &D::OnPick},
        Entry{kBnClicked, kTestTray, &D::OnTestTray},
    };
    return kMap;
}

// The fields show the mirror as it is, without the limit; the dialog shows
// itself only after OffsetsSetup has gone out.
bool CSetOffsetsDlg::OnInitDialog() {
    Dialog::OnInitDialog();
    const auto& mirror = link_.State().mirror;
    for (const OffsetRow& row : kOffsetRows) SetDlgItemText(row.editId, FormatOffset(mirror.*row.field));
    outcome_.GoOn(link_.SendCommand(protocol::CommandCode::OffsetsSetup));
    return true;
}

void CSetOffsetsDlg::LeaveField(int editId) {
    const auto row = std::find_if(kOffsetRows.begin(), kOffsetRows.end(),
                                  [editId](const OffsetRow& r) { return r.editId == editId; });
    if (row == kOffsetRows.end()) return;
    std::int32_t& value = link_.State().mirror.*row->field;
    if (row->rule == FieldRule::DiscSwitch) {
        value = ReadUnlimitedOffsetField(*this, editId);
        outcome_.GoOn(link_.SetPositionOffset(row->index));
        // The send's status read has refreshed the mirror: this shows the
        // unit's value from before the change.
        link_.Log().AppendLog("XX: " + FormatOffset(link_.State().mirror.*row->field));
        return;
    }
    value = ReadOffsetField(*this, editId);
    outcome_.GoOn(link_.SetPositionOffset(row->index));
    if (row->rule == FieldRule::ArmHome) RunSequence(link_, outcome_, sequence::kArmHome);
}

void CSetOffsetsDlg::OnKillFocusLeftBin() { LeaveField(set_offsets::kLeftBin); }
void CSetOffsetsDlg::OnKillFocusRecorderUpper() { LeaveField(set_offsets::kRecorderUpper); }
void CSetOffsetsDlg::OnKillFocusRecorderLower() { LeaveField(set_offsets::kRecorderLower); }
void CSetOffsetsDlg::OnKillFocusPrinter() { LeaveField(set_offsets::kPrinter); }
void CSetOffsetsDlg::OnKillFocusRightBin() { LeaveField(set_offsets::kRightBin); }
void CSetOffsetsDlg::OnKillFocusHook() { LeaveField(set_offsets::kHook); }
void CSetOffsetsDlg::OnKillFocusTrayOut() { LeaveField(set_offsets::kTrayOut); }
void CSetOffsetsDlg::OnKillFocusPickerSwitch() { LeaveField(set_offsets::kPickerSwitch); }
void CSetOffsetsDlg::OnKillFocusArmHome() { LeaveField(set_offsets::kArmHome); }

void CSetOffsetsDlg::OnMoveLeftBin() { RunSequence(link_, outcome_, sequence::kMoveLeftBin); }
void CSetOffsetsDlg::OnMoveRecorderUpper() { RunSequence(link_, outcome_, sequence::kMoveRecorderUpper); }
void CSetOffsetsDlg::OnMoveRecorderLower() { RunSequence(link_, outcome_, sequence::kMoveRecorderLower); }
void CSetOffsetsDlg::OnMovePrinter() { RunSequence(link_, outcome_, sequence::kMovePrinter); }
void CSetOffsetsDlg::OnMoveRightBin() { RunSequence(link_, outcome_, sequence::kMoveRightBin); }
void CSetOffsetsDlg::OnMoveHook() { RunSequence(link_, outcome_, sequence::kMoveHook); }
void CSetOffsetsDlg::OnPick() { RunSequence(link_, outcome_, sequence::kPick); }
void CSetOffsetsDlg::OnTestTray() { RunSequence(link_, outcome_, sequence::kTestTray); }

}  // namespace orlax::dialogs

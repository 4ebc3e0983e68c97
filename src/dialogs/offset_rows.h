// The nine offset fields of SET OFFSETS: which mirror field each edits and
// the position index it is sent under, in the order the dialog fills them.
#pragma once

#include <array>
#include <cstdint>

#include "device/device_state.h"
#include "dialogs/set_offsets_controls.h"

namespace orlax::dialogs {

// What leaving a field does beyond sending its value.
enum class FieldRule : std::uint8_t {
    Offset,      // limited to -32..32
    DiscSwitch,  // no limit; the mirror's value is logged after the send
    ArmHome,     // limited, then the arm-home move
};

struct OffsetRow {
    int editId;
    std::int32_t device::DeviceMirror::*field;
    int index;  // SetPositionOffset index: record byte 69 + index
    FieldRule rule;
};

inline constexpr std::array<OffsetRow, 9> kOffsetRows{{
    {set_offsets::kLeftBin, &device::DeviceMirror::leftBin, 0, FieldRule::Offset},
    {set_offsets::kRecorderUpper, &device::DeviceMirror::recorder, 1, FieldRule::Offset},
    {set_offsets::kRecorderLower, &device::DeviceMirror::recorder2, 2, FieldRule::Offset},
    {set_offsets::kPrinter, &device::DeviceMirror::printer, 3, FieldRule::Offset},
    {set_offsets::kRightBin, &device::DeviceMirror::rightBin, 4, FieldRule::Offset},
    {set_offsets::kHook, &device::DeviceMirror::hook, 5, FieldRule::Offset},
    {set_offsets::kTrayOut, &device::DeviceMirror::trayOut, 6, FieldRule::Offset},
    {set_offsets::kPickerSwitch, &device::DeviceMirror::pickerSwitch, 7, FieldRule::DiscSwitch},
    {set_offsets::kArmHome, &device::DeviceMirror::armHome, 8, FieldRule::ArmHome},
}};

}  // namespace orlax::dialogs

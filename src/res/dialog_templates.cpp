#include "res/dialog_templates.h"

#include <array>

#include "res/control_ids.h"

namespace orlax::res {
namespace {

using enum ControlKind;

constexpr std::uint32_t kPush = kVisible;
constexpr std::uint32_t kHiddenPush = 0;

constexpr std::array kMainWindowControls{
    ControlTemplate{main_window::kLog, Edit, "",
                    kVisible | kTabStop | kBorder | kMultiLine | kReadOnly | kAutoHScroll |
                        kAutoVScroll | kWantReturn,
                    7, 68, 330, 188},
    ControlTemplate{main_window::kStartup, Button, "STARTUP", kHiddenPush, 7, 7, 52, 20},
    ControlTemplate{main_window::kFirmwareUpdate, Button, "FIRMWARE UPDATE", kHiddenPush | kMultiLine, 61, 7, 47, 20},
    ControlTemplate{main_window::kSendTestFile, Button, "SEND TEST FILE", kHiddenPush | kMultiLine, 109, 7, 58, 20},
    ControlTemplate{main_window::kGetStatus, Button, "GET STATUS", kPush, 7, 32, 52, 19},
    ControlTemplate{kIdStatic, Static, "PRINTER NAME:", kVisible | kCenter | kGroup, 24, 57, 94, 8},
    ControlTemplate{main_window::kDiskPosition, Button, "DISK POSITION", kPush | kMultiLine, 61, 32, 47, 19},
    ControlTemplate{main_window::kSetOffsets, Button, "SET OFFSETS", kPush, 109, 32, 58, 19},
    ControlTemplate{main_window::kClearSpits, Button, "CLEAR SPITS", kHiddenPush, 277, 32, 51, 19},
    ControlTemplate{main_window::kCalibrateLastDisk, Button, "CALIBRATE LAST DISK", kPush | kMultiLine, 225, 7, 51, 20},
    ControlTemplate{main_window::kTestBins, Button, "TEST BINS", kHiddenPush | kMultiLine, 225, 32, 51, 19},
    ControlTemplate{main_window::kSetFactoryDefaults, Button, "SET FACTORY DEFAULTS", kHiddenPush | kMultiLine, 168, 7, 56, 20},
    ControlTemplate{main_window::kQueueSelector, ComboBox, "", kVisible | kTabStop | kDropDown | kSort | kVScroll, 154, 54,
                    118, 150},
    ControlTemplate{main_window::kRestoreFactory, Button, "RESTORE FACTORY", kPush | kMultiLine, 168, 32, 56, 19},
    ControlTemplate{main_window::kFinalCheck, Button, "FINAL CHECK", kHiddenPush, 277, 7, 51, 19},
};

constexpr std::uint32_t kOffsetEdit = kVisible | kTabStop | kBorder | kAutoHScroll;
constexpr std::uint32_t kTabButton = kVisible | kTabStop;
constexpr std::uint32_t kLabel = kVisible | kLeft;

constexpr std::array kSetOffsetsControls{
    ControlTemplate{set_offsets::kLeftBin, Edit, "", kOffsetEdit, 157, 42, 25, 12},
    ControlTemplate{set_offsets::kRecorderUpper, Edit, "", kOffsetEdit, 157, 55, 25, 12},
    ControlTemplate{set_offsets::kPrinter, Edit, "", kOffsetEdit, 157, 79, 25, 12},
    ControlTemplate{set_offsets::kRightBin, Edit, "", kOffsetEdit, 157, 92, 25, 12},
    ControlTemplate{set_offsets::kHook, Edit, "", kOffsetEdit, 157, 105, 25, 12},
    ControlTemplate{1, Button, "OK", kTabButton | kDefPushButton, 153, 195, 50, 14},
    ControlTemplate{2, Button, "Cancel", kTabButton, 57, 195, 50, 14},
    ControlTemplate{kIdStatic, Static, "POSITIONS:", kLabel, 17, 25, 58, 9},
    ControlTemplate{kIdStatic, Static, "OFFSETS +- 32  @ 150dpi", kLabel, 125, 25, 121, 9},
    ControlTemplate{kIdStatic, Static, "LEFT BIN:", kLabel, 17, 45, 69, 10},
    ControlTemplate{kIdStatic, Static, "RECORDER UPPER:", kLabel, 17, 58, 69, 10},
    ControlTemplate{kIdStatic, Static, "PRINTER:", kLabel, 17, 82, 69, 10},
    ControlTemplate{kIdStatic, Static, "RIGHT BIN:", kLabel, 17, 95, 69, 10},
    ControlTemplate{kIdStatic, Static, "HOOK POSITION:", kLabel, 17, 108, 69, 10},
    ControlTemplate{set_offsets::kPick, Button, "pick", kTabButton, 230, 43, 22, 74},
    ControlTemplate{set_offsets::kMoveLeftBin, Button, "MOVE", kTabButton, 196, 43, 25, 10},
    ControlTemplate{set_offsets::kMoveRecorderUpper, Button, "MOVE", kTabButton, 196, 56, 25, 10},
    ControlTemplate{set_offsets::kMovePrinter, Button, "MOVE", kTabButton, 196, 81, 25, 10},
    ControlTemplate{set_offsets::kMoveRightBin, Button, "MOVE", kTabButton, 196, 94, 25, 10},
    ControlTemplate{set_offsets::kMoveHook, Button, "MOVE", kTabButton, 196, 107, 25, 10},
    ControlTemplate{kIdStatic, Static, "TRAY OUT POSITION  300 dpi", kLabel, 17, 150, 120, 10},
    ControlTemplate{set_offsets::kTrayOut, Edit, "", kOffsetEdit, 157, 148, 25, 12},
    ControlTemplate{kIdStatic, Static, "DISK SWITCH OFFSET 480/inch", kLabel, 17, 162, 129, 10},
    ControlTemplate{set_offsets::kPickerSwitch, Edit, "", kOffsetEdit, 157, 160, 25, 12},
    ControlTemplate{set_offsets::kTestTray, Button, "TEST", kTabButton, 196, 149, 25, 10},
    ControlTemplate{kIdStatic, Static, "OTHER OFFSETS:", kLabel, 17, 125, 92, 10},
    ControlTemplate{kIdStatic, Static, "DISK Arm Home Position 240/inch", kLabel, 17, 138, 129, 10},
    ControlTemplate{set_offsets::kArmHome, Edit, "", kOffsetEdit, 157, 135, 25, 12},
    ControlTemplate{kIdStatic, Static, "RECORDER LOWER:", kLabel, 17, 70, 99, 10},
    ControlTemplate{set_offsets::kRecorderLower, Edit, "", kOffsetEdit, 157, 67, 25, 12},
    ControlTemplate{set_offsets::kMoveRecorderLower, Button, "MOVE", kTabButton, 196, 68, 25, 10},
};

constexpr std::array kDiskPositionControls{
    ControlTemplate{1, Button, "OK", kTabButton | kDefPushButton, 107, 67, 50, 14},
    ControlTemplate{2, Button, "Cancel", kTabButton, 26, 67, 50, 14},
    ControlTemplate{disk_position::kVertical, Edit, "", kOffsetEdit, 108, 29, 35, 12},
    ControlTemplate{disk_position::kHorizontal, Edit, "", kOffsetEdit, 108, 42, 35, 12},
    ControlTemplate{kIdStatic, Static, "VERTICAL", kLabel, 25, 29, 48, 9},
    ControlTemplate{kIdStatic, Static, "HORIZONTAL", kLabel, 25, 42, 48, 9},
    ControlTemplate{kIdStatic, Static, "OFFSETS +-32", kLabel, 101, 14, 48, 9},
};

constexpr std::uint32_t kModalDialog = kPopup | kCaption | kSysMenu | kModalFrame;

constexpr std::array kTemplates{
    DialogTemplate{kMainWindowTemplate, "ORLAX PRO PRINTER FIRMWARE BURNER   VER 1.02  10/22/2004",
                   kModalDialog | kAppWindow, "MS Sans Serif", 8, 344, 263, kMainWindowControls},
    DialogTemplate{kSetOffsetsTemplate, "SET OFFSETS", kModalDialog, "MS Sans Serif", 8, 271, 229,
                   kSetOffsetsControls},
    DialogTemplate{kDiskPositionTemplate, "SET DISK POSITION", kModalDialog, "MS Sans Serif", 8, 187,
                   95, kDiskPositionControls},
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const auto& dialog : kTemplates)
        if (dialog.id == id) return &dialog;
    return nullptr;
}

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
    if (id == kIdStatic) return nullptr;
    for (const auto& control : dialog.controls)
        if (control.id == id) return &control;
    return nullptr;
}

}  // namespace orlax::res

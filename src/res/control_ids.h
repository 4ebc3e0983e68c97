// The controls of the three windows by name: one table that the templates,
// the handlers' message maps and orlaxctl's action names share.
#pragma once

#include <array>
#include <string_view>

namespace orlax::res {

// The main window (template 102).
namespace main_window {
inline constexpr int kLog = 1000;
inline constexpr int kQueueSelector = 1001;
inline constexpr int kStartup = 1004;
inline constexpr int kFirmwareUpdate = 1007;
inline constexpr int kSendTestFile = 1009;
inline constexpr int kDiskPosition = 1010;
inline constexpr int kSetOffsets = 1011;
inline constexpr int kGetStatus = 1012;
inline constexpr int kClearSpits = 1014;
inline constexpr int kCalibrateLastDisk = 1015;
inline constexpr int kTestBins = 1016;
inline constexpr int kSetFactoryDefaults = 1017;
inline constexpr int kRestoreFactory = 1018;
inline constexpr int kFinalCheck = 1019;
}  // namespace main_window

// SET OFFSETS (template 137): the nine offset edits and the mechanism buttons.
namespace set_offsets {
inline constexpr int kLeftBin = 1014;
inline constexpr int kRecorderUpper = 1016;
inline constexpr int kRecorderLower = 1029;
inline constexpr int kPrinter = 1017;
inline constexpr int kRightBin = 1015;
inline constexpr int kHook = 1018;
inline constexpr int kTrayOut = 1025;
inline constexpr int kPickerSwitch = 1026;
inline constexpr int kArmHome = 1028;

inline constexpr int kPick = 1019;
inline constexpr int kMoveLeftBin = 1020;
inline constexpr int kMoveRecorderUpper = 1021;
inline constexpr int kMovePrinter = 1022;
inline constexpr int kMoveRightBin = 1023;
inline constexpr int kMoveHook = 1024;
inline constexpr int kTestTray = 1027;
inline constexpr int kMoveRecorderLower = 1030;
}  // namespace set_offsets

// SET DISK POSITION (template 138).
namespace disk_position {
inline constexpr int kVertical = 1015;
inline constexpr int kHorizontal = 1001;
}  // namespace disk_position

// The main window's buttons by the names orlaxctl gives them.
struct NamedButton {
    std::string_view name;
    int id;
};
inline constexpr std::array kNamedButtons{
    NamedButton{"get-status", main_window::kGetStatus},
    NamedButton{"startup", main_window::kStartup},
    NamedButton{"firmware-update", main_window::kFirmwareUpdate},
    NamedButton{"send-test-file", main_window::kSendTestFile},
    NamedButton{"disk-position", main_window::kDiskPosition},
    NamedButton{"set-offsets", main_window::kSetOffsets},
    NamedButton{"clear-spits", main_window::kClearSpits},
    NamedButton{"calibrate-last-disk", main_window::kCalibrateLastDisk},
    NamedButton{"test-bins", main_window::kTestBins},
    NamedButton{"set-factory-defaults", main_window::kSetFactoryDefaults},
    NamedButton{"restore-factory", main_window::kRestoreFactory},
    NamedButton{"final-check", main_window::kFinalCheck},
};

}  // namespace orlax::res

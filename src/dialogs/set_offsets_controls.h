// Control ids of SET OFFSETS (template 137).
#pragma once

namespace orlax::dialogs::set_offsets {

// The nine offset edits.
inline constexpr int kLeftBin = 1014;
inline constexpr int kRecorderUpper = 1016;
inline constexpr int kRecorderLower = 1029;
inline constexpr int kPrinter = 1017;
inline constexpr int kRightBin = 1015;
inline constexpr int kHook = 1018;
inline constexpr int kTrayOut = 1025;
inline constexpr int kPickerSwitch = 1026;
inline constexpr int kArmHome = 1028;

// The mechanism buttons.
inline constexpr int kPick = 1019;
inline constexpr int kMoveLeftBin = 1020;
inline constexpr int kMoveRecorderUpper = 1021;
inline constexpr int kMovePrinter = 1022;
inline constexpr int kMoveRightBin = 1023;
inline constexpr int kMoveHook = 1024;
inline constexpr int kTestTray = 1027;
inline constexpr int kMoveRecorderLower = 1030;

}  // namespace orlax::dialogs::set_offsets

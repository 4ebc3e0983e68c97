// The dialog templates of the tool as data: the main window (102), the set
// offsets dialog (137) and the set disk position dialog (138). Positions and
// sizes are in dialog units; hosts build their windows from these alone.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace orlax::res {

inline constexpr int kIdStatic = -1;  // a control without an id

enum class ControlKind : std::uint8_t { Edit, Button, Static, ComboBox };

// Control styles, in the window system's own words.
enum Style : std::uint32_t {
    kVisible = 1u << 0,
    kTabStop = 1u << 1,
    kGroup = 1u << 2,
    kBorder = 1u << 3,
    kMultiLine = 1u << 4,    // edits and button labels
    kReadOnly = 1u << 5,
    kAutoHScroll = 1u << 6,
    kAutoVScroll = 1u << 7,
    kWantReturn = 1u << 8,
    kDefPushButton = 1u << 9,
    kCenter = 1u << 10,      // static text alignment
    kLeft = 1u << 11,
    kDropDown = 1u << 12,    // combo box with an edit field
    kSort = 1u << 13,
    kVScroll = 1u << 14,
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string_view text;
    std::uint32_t style;
    int x, y, cx, cy;
};

// Window styles of the dialog itself.
enum DialogStyle : std::uint32_t {
    kPopup = 1u << 0,
    kCaption = 1u << 1,
    kSysMenu = 1u << 2,
    kModalFrame = 1u << 3,
    kAppWindow = 1u << 4,  // listed in the task bar
};

struct DialogTemplate {
    int id;
    std::string_view caption;
    std::uint32_t style;
    std::string_view fontName;
    int fontPointSize;
    int cx, cy;
    std::span<const ControlTemplate> controls;  // template order = tab order
};

inline constexpr int kMainWindowTemplate = 102;
inline constexpr int kSetOffsetsTemplate = 137;
inline constexpr int kDiskPositionTemplate = 138;
// The About dialog the main window's menu opens. The resources hold no
// template for it: a host shows its own box with the title and version.
inline constexpr int kAboutTemplate = 100;

// The template with that id, or nullptr when the resources hold none.
const DialogTemplate* FindDialogTemplate(int id);

// The control `id` of a template, or nullptr.
const ControlTemplate* FindControl(const DialogTemplate& dialog, int id);

}  // namespace orlax::res

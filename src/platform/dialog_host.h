// The window system as the dialogs see it: it runs a dialog modally over the
// window below it, routes notifications through the dialog's message map,
// owns the input focus and shows message boxes.
#pragma once

#include <string_view>

namespace orlax::platform {

class Dialog;

// Message-box types and results used by the tool.
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbIconHand = 0x10;
inline constexpr unsigned kMbSetForeground = 0x10000;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

class DialogHost {
public:
    virtual ~DialogHost() = default;

    // Builds the window from the dialog's template, attaches it, runs
    // OnInitDialog, then the modal loop until EndDialog. Returns the result
    // given to EndDialog, or -1 when the window could not be created.
    virtual int RunModal(Dialog& dialog) = 0;

    // A message box with one OK button; returns the button pressed.
    virtual int MessageBox(std::string_view text, std::string_view caption, unsigned type) = 0;
};

}  // namespace orlax::platform

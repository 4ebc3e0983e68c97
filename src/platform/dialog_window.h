// The window side of a dialog: one live window built from a template by a
// host. Dialogs reach their controls only through this.
#pragma once

#include <string>
#include <string_view>

namespace orlax::platform {

class DialogWindow {
public:
    virtual ~DialogWindow() = default;

    // The whole text of control `id` (for a combo box, its edit field).
    virtual std::string GetItemText(int id) const = 0;
    virtual void SetItemText(int id, std::string_view text) = 0;

    // Combo-box list operations; results as the window system gives them:
    // the index of the entry, or -1 on failure.
    virtual int ComboInsertString(int id, int index, std::string_view text) = 0;
    virtual int ComboSetCurSel(int id, int index) = 0;

    // Adds an entry to the window's system menu (a separator first).
    virtual void AppendSystemMenu(int commandId, std::string_view text) = 0;

    // Paints pending changes at once.
    virtual void UpdateWindow() = 0;

    // Ends the modal run of this window with `result`.
    virtual void EndDialog(int result) = 0;
};

}  // namespace orlax::platform

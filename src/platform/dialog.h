// The dialog base: a window built from a template id and run modally by a
// host, with its notifications routed through a message map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/dialog_host.h"
#include "platform/dialog_window.h"

namespace orlax::platform {

// Notification codes carried with a control id.
inline constexpr std::uint16_t kBnClicked = 0;
inline constexpr std::uint16_t kCbnKillFocus = 4;
inline constexpr std::uint16_t kEnKillFocus = 512;

class Dialog {
public:
    Dialog(int templateId, DialogHost& host) : templateId_(templateId), host_(host) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int TemplateId() const { return templateId_; }
    DialogHost& Host() const { return host_; }

    int DoModal() { return host_.RunModal(*this); }

    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(kIdOk); }
    virtual void OnCancel() { EndDialog(kIdCancel); }
    // A system-menu command (the About entry and its neighbours).
    virtual void OnSysCommand(int /*id*/) {}

    // Routes a notification from control `id`: the message map first, then
    // the framework's own OK and Cancel. Returns false when nothing handles it.
    virtual bool OnCommand(std::uint16_t code, int id);

    // Control access; all are no-ops while no window is attached.
    std::string GetDlgItemText(int id) const;
    // Copies at most size - 1 characters and a terminator into `buffer`;
    // returns the number of characters copied.
    std::size_t GetDlgItemText(int id, std::span<char> buffer) const;
    void SetDlgItemText(int id, std::string_view text);
    int ComboInsertString(int id, int index, std::string_view text);
    int ComboSetCurSel(int id, int index);
    void AppendSystemMenu(int commandId, std::string_view text);
    void UpdateWindow();
    void EndDialog(int result);
    int MessageBox(std::string_view text, std::string_view caption, unsigned type) {
        return host_.MessageBox(text, caption, type);
    }

    // Called by the host around the modal run.
    void Attach(DialogWindow* window) { window_ = window; }
    DialogWindow* Window() const { return window_; }

private:
    int templateId_;
    DialogHost& host_;
    DialogWindow* window_ = nullptr;
};

// A message map entry: (notification, control id) -> member handler.
template <class D>
struct MessageEntry {
    std::uint16_t code;
    int id;
    void (D::*handler)();
};

// Base for dialogs with a message map: D provides
//   static const std::span<const MessageEntry<D>> MessageMap();
template <class D>
class MappedDialog : public Dialog {
public:
    using Dialog::Dialog;

    bool OnCommand(std::uint16_t code, int id) override {
        for (const auto& entry : D::MessageMap()) {
            if (entry.code == code && entry.id == id) {
                (static_cast<D*>(this)->*entry.handler)();
                return true;
            }
        }
        return Dialog::OnCommand(code, id);
    }

    // True when the message map routes (code, id) to a handler.
    static bool Handles(std::uint16_t code, int id) {
        for (const auto& entry : D::MessageMap())
            if (entry.code == code && entry.id == id) return true;
        return false;
    }
};

}  // namespace orlax::platform

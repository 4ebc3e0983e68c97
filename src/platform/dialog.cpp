#include "platform/dialog.h"

#include <algorithm>

namespace orlax::platform {

bool Dialog::OnCommand(std::uint16_t code, int id) {
    if (code != kBnClicked) return false;
    if (id == kIdOk) {
        OnOK();
        return true;
    }
    if (id == kIdCancel) {
        OnCancel();
        return true;
    }
    return false;
}

std::string Dialog::GetDlgItemText(int id) const {
    return window_ ? window_->GetItemText(id) : std::string();
}

std::size_t Dialog::GetDlgItemText(int id, std::span<char> buffer) const {
    if (buffer.empty()) return 0;
    const std::string text = GetDlgItemText(id);
    const std::size_t count = std::min(text.size(), buffer.size() - 1);
    std::copy_n(text.data(), count, buffer.data());
    buffer[count] = '\0';
    return count;
}

void Dialog::SetDlgItemText(int id, std::string_view text) {
    if (window_) window_->SetItemText(id, text);
}

int Dialog::ComboInsertString(int id, int index, std::string_view text) {
    return window_ ? window_->ComboInsertString(id, index, text) : -1;
}

int Dialog::ComboSetCurSel(int id, int index) {
    return window_ ? window_->ComboSetCurSel(id, index) : -1;
}

void Dialog::AppendSystemMenu(int commandId, std::string_view text) {
    if (window_) window_->AppendSystemMenu(commandId, text);
}

void Dialog::UpdateWindow() {
    if (window_) window_->UpdateWindow();
}

void Dialog::EndDialog(int result) {
    if (window_) window_->EndDialog(result);
}

}  // namespace orlax::platform

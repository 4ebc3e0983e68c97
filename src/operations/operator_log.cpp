#include "operations/operator_log.h"

#include <algorithm>
#include <cstring>

#include "platform/dialog.h"
#include "res/control_ids.h"
#include "util/hex.h"

namespace orlax::operations {

int OperatorLog::AppendLog(std::string_view text) {
    text = text.substr(0, std::min(text.find('\0'), kMaxAppend));
    if (held_) {
        held_->append(text);
        return 1;
    }
    if (length_ + text.size() > kCapacity) {
        // Make room by dropping the oldest characters.
        const std::size_t drop = length_ + text.size() - kCapacity;
        std::memmove(text_.data(), text_.data() + drop, length_ - drop);
        length_ -= drop;
    }
    std::copy(text.begin(), text.end(), text_.begin() + static_cast<std::ptrdiff_t>(length_));
    length_ += text.size();
    text_[length_] = '\0';
    if (logWindow_) logWindow_->SetDlgItemText(res::main_window::kLog, LogText());
    if (observer_) observer_(text);
    return 1;
}

void OperatorLog::ClearLog() {
    length_ = 0;
    text_[0] = '\0';
}

int OperatorLog::LogHex(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return 1;
    bytes = bytes.first(std::min(bytes.size(), kMaxHexBytes));
    return AppendLog(util::Hex(bytes, util::HexCase::Upper, " "));
}

}  // namespace orlax::operations

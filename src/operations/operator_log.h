// The operator log: one fixed text buffer shown whole in the main window's
// log box (control 1000) after every append.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "device/log_port.h"

namespace orlax::platform {
class Dialog;
}

namespace orlax::operations {

class OperatorLog final : public device::LogPort {
public:
    static constexpr std::size_t kCapacity = 2011;   // characters, terminator aside
    static constexpr std::size_t kMaxAppend = 2000;  // characters taken from one text

    // Appends at most the first 2,000 characters of `text` (up to its first
    // zero byte) and shows the whole log. When the log would overflow, the
    // oldest text is dropped so that the new text always shows whole at the end.
    int AppendLog(std::string_view text) override;
    // Empties the log without redrawing the box.
    void ClearLog();
    // Appends the bytes as "%.2X " groups with one AppendLog; nothing for none.
    int LogHex(std::span<const std::uint8_t> bytes) override;

    std::string_view LogText() const { return {text_.data(), length_}; }

    // The window whose control 1000 shows the log; null until the main
    // window is initialised.
    void SetLogWindow(platform::Dialog* window) { logWindow_ = window; }

    // While `held` is set, appended texts are added to it instead of the log
    // and nothing is shown; null lets them through again.
    void HoldInto(std::string* held) { held_ = held; }

    // Called with each text as it went into the log (after the 2,000 cut).
    void SetAppendObserver(std::function<void(std::string_view)> observer) {
        observer_ = std::move(observer);
    }

private:
    std::array<char, kCapacity + 1> text_{};
    std::size_t length_ = 0;
    platform::Dialog* logWindow_ = nullptr;
    std::string* held_ = nullptr;
    std::function<void(std::string_view)> observer_;
};

}  // namespace orlax::operations

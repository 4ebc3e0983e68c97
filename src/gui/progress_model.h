// What the progress line under the log shows: the file being sent with its
// percentage, or the pause being waited with the seconds left. Fed by the
// device logic through the progress port and by the clock's pauses.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/progress.h"

namespace orlax::gui {

class ProgressModel final : public platform::Progress {
public:
    // Called after every change, to paint it at once.
    void SetChanged(std::function<void()> changed) { changed_ = std::move(changed); }

    void FileProgress(std::string_view path, std::uint64_t sent, std::uint64_t total) override;
    void Done() override;

    // A pause of `totalMs`, of which `leftMs` remain.
    void Pause(std::uint32_t totalMs, std::uint32_t leftMs);
    void PauseDone() { Done(); }

    bool Active() const { return !text_.empty(); }
    // "Sending /path/firm.bin: 45 %", "Waiting: 3 s left"; empty when idle.
    const std::string& Text() const { return text_; }
    // How much is done, 0 to 1000.
    int Permille() const { return permille_; }

private:
    void Set(std::string text, int permille);

    std::function<void()> changed_;
    std::string text_;
    int permille_ = 0;
};

}  // namespace orlax::gui

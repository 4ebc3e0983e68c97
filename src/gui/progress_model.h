// What the progress line under the log shows: the file being sent with its
// percentage, a fixed pause with the seconds left, or a wait for the unit
// with the number of its poll (how long the unit stays busy is not known, so
// no time and no bar). Fed by the device logic through the progress port and
// by the clock's pauses.
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
    void Notice(std::string_view text) override;

    // A pause of `totalMs`, of which `leftMs` remain.
    void Pause(std::uint32_t totalMs, std::uint32_t leftMs);
    void PauseDone() { Done(); }
    // The `poll`th pause (from 1) of a wait for the unit to be no longer busy.
    void UnitWait(int poll);

    bool Active() const { return !text_.empty(); }
    // "Sending /path/firm.bin: 45 %", "Waiting: 3 s left",
    // "Waiting for the unit: poll 2"; empty when idle.
    const std::string& Text() const { return text_; }
    // How much is done, 0 to 1000; -1 when that is not known (no bar).
    int Permille() const { return permille_; }

private:
    void Set(std::string text, int permille);

    std::function<void()> changed_;
    std::string text_;
    int permille_ = 0;
};

}  // namespace orlax::gui

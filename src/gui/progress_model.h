// What the progress line under the log shows: the file being sent with its
// percentage, a fixed pause with the seconds left, or a wait for the unit
// with the number of its poll (how long the unit stays busy is not known, so
// no time and no bar). Fed by the device logic through the progress port and
// by the clock's pauses; the logic tells which pauses are polls of a wait
// for the unit.
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
    // The `poll`th pause (from 1) of a wait for the unit; the line shows it
    // until the wait is over.
    void UnitWait(int poll) override;
    void UnitWaitDone() override;
    void Notice(std::string_view text) override;
    // "Unit in use by PID N (program)" until the next progress.
    void UnitInUse(std::string_view why) override;

    // A pause of `totalMs`, of which `leftMs` remain: its countdown, unless
    // it is a poll of a wait for the unit.
    void Pause(std::uint32_t totalMs, std::uint32_t leftMs);
    void PauseDone();
    // The poll of the wait for the unit under way; 0 when there is none.
    int UnitPoll() const { return unitPoll_; }

    // A standing notice, shown while nothing else is (no bar), such as rows
    // waiting for the line database; empty: none.
    void SetNotice(std::string notice);

    bool Active() const { return !text_.empty() || !notice_.empty(); }
    // "Sending /path/firm.bin: 45 %", "Waiting: 3 s left",
    // "Waiting for the unit: poll 2"; the notice, or empty, when idle.
    const std::string& Text() const { return text_.empty() ? notice_ : text_; }
    // How much is done, 0 to 1000; -1 when that is not known (no bar).
    int Permille() const { return text_.empty() ? -1 : permille_; }

private:
    void Set(std::string text, int permille);

    std::function<void()> changed_;
    std::string text_;
    int permille_ = 0;
    std::string notice_;
    int unitPoll_ = 0;
};

}  // namespace orlax::gui

// A progress port that writes down what it is told, in order with the
// pauses taken on the virtual clock: "firm.bin 1000/2500" for a block of a
// file, "done" for the end of a transfer, "poll N" before a pause that is a
// poll of a wait for the unit, "end" for the end of that wait, and each
// pause as its milliseconds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "clocks/virtual_clock.h"
#include "platform/progress.h"

namespace orlax::testing {

class RecordingProgress final : public platform::Progress {
public:
    // The clock whose pauses go into the timeline (none until this is called).
    void TakePausesFrom(const clocks::VirtualClock& clock) { clock_ = &clock; }

    void FileProgress(std::string_view path, std::uint64_t sent, std::uint64_t total) override {
        Add(std::string(path.substr(path.rfind('/') + 1)) + " " + std::to_string(sent) + "/" +
            std::to_string(total));
    }
    void Done() override { Add("done"); }
    void UnitWait(int poll) override { Add("poll " + std::to_string(poll)); }
    void UnitWaitDone() override { Add("end"); }

    // Everything so far, pauses included, one entry a space apart.
    std::string Timeline() {
        TakePauses();
        std::string line;
        for (const auto& entry : entries_) line += (line.empty() ? "" : " ") + entry;
        return line;
    }
    void Clear() {
        TakePauses();
        entries_.clear();
    }

private:
    void TakePauses() {
        if (!clock_) return;
        const auto& sleeps = clock_->Sleeps();
        for (; pausesSeen_ < sleeps.size(); ++pausesSeen_) entries_.push_back(std::to_string(sleeps[pausesSeen_]));
    }
    void Add(std::string entry) {
        TakePauses();
        entries_.push_back(std::move(entry));
    }

    const clocks::VirtualClock* clock_ = nullptr;
    std::vector<std::string> entries_;
    std::size_t pausesSeen_ = 0;
};

// The timeline of a wait for the unit of `polls` pauses of `ms` each: every
// pause told as its poll first, then the end; nothing for none.
inline std::string UnitWaitTimeline(std::size_t polls, std::uint32_t ms) {
    std::string line;
    for (std::size_t poll = 1; poll <= polls; ++poll)
        line += "poll " + std::to_string(poll) + " " + std::to_string(ms) + " ";
    return polls == 0 ? line : line + "end";
}

}  // namespace orlax::testing

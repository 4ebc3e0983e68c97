// A clock that only moves when told to: Sleep advances it at once, and the
// emulated spooler advances it by a tick per call, so every time-bounded
// loop ends without taking wall time.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/clock.h"

namespace orlax::clocks {

class VirtualClock final : public platform::Clock {
public:
    explicit VirtualClock(std::uint32_t start = 0) : now_(start) {}

    std::uint32_t GetTickCount() override { return now_; }
    void Sleep(std::uint32_t milliseconds) override {
        sleeps_.push_back(milliseconds);
        if (onSleep_) onSleep_(milliseconds);
        now_ += milliseconds;
    }

    // Called at the start of every pause with its length: what happens to
    // the world while the caller waits.
    void SetSleepObserver(std::function<void(std::uint32_t)> observer) { onSleep_ = std::move(observer); }

    void Advance(std::uint32_t milliseconds) { now_ += milliseconds; }

    // Every pause asked for, in order.
    const std::vector<std::uint32_t>& Sleeps() const { return sleeps_; }

private:
    std::uint32_t now_;
    std::vector<std::uint32_t> sleeps_;
    std::function<void(std::uint32_t)> onSleep_;
};

}  // namespace orlax::clocks

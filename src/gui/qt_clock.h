// The clock of the desktop program: a steady tick count, and pauses during
// which the windows keep repainting (paint and timer events only, no input,
// so no other operation can start) under a busy cursor, with the pause
// shown in the progress line.
#pragma once

#include <chrono>

#include "platform/clock.h"

namespace orlax::gui {

class ProgressModel;

class QtClock final : public platform::Clock {
public:
    explicit QtClock(ProgressModel* progress = nullptr);

    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;

private:
    std::chrono::steady_clock::time_point start_;
    ProgressModel* progress_;
};

}  // namespace orlax::gui

// The clock of the desktop program: a steady tick count, and pauses during
// which the windows keep repainting (paint and timer events only, no input,
// so no other operation can start) under a busy cursor, with the pause
// shown in the progress line: the seconds left of a fixed pause, the polls
// of a wait for the unit. Input given during a pause is handled once the
// running handler has returned (QtDialogWindow::RunHandler).
#pragma once

#include <chrono>

#include "platform/clock.h"

namespace orlax::gui {

class EventTrace;
class ProgressModel;

class QtClock final : public platform::Clock {
public:
    // `progress`, when given, shows the pauses; it knows from the device
    // logic which pauses are polls of a wait for the unit. Without it every
    // pause counts as fixed.
    explicit QtClock(ProgressModel* progress = nullptr);

    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;

    // Writes the end of each pause to `trace` (nullptr: none).
    void SetTrace(EventTrace* trace) { trace_ = trace; }

private:
    std::chrono::steady_clock::time_point start_;
    ProgressModel* progress_;
    EventTrace* trace_ = nullptr;
};

}  // namespace orlax::gui

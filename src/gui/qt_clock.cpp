#include "gui/qt_clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <string>
#include <thread>

#include "gui/busy_cursor.h"
#include "gui/event_trace.h"
#include "gui/progress_model.h"

namespace orlax::gui {
namespace {

// How long the clock sleeps between two looks at the event queue.
constexpr std::chrono::milliseconds kSlice{10};

}  // namespace

QtClock::QtClock(ProgressModel* progress) : start_(std::chrono::steady_clock::now()), progress_(progress) {}

std::uint32_t QtClock::GetTickCount() {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    // Wraps after 2^32 ms, like the tick counter it stands for.
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

void QtClock::Sleep(std::uint32_t milliseconds) {
    using std::chrono::steady_clock;
    const auto end = steady_clock::now() + std::chrono::milliseconds(milliseconds);
    const int poll = progress_ ? progress_->UnitPoll() : 0;
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_until(end);
    } else {
        BusyCursor busy;
        for (;;) {
            const auto now = steady_clock::now();
            if (now >= end) break;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
            // A poll of a wait for the unit keeps the line the logic gave it.
            if (progress_) progress_->Pause(milliseconds, static_cast<std::uint32_t>(left.count()));
            // Input stays queued until the handler has returned.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(left, kSlice));
        }
        if (progress_) progress_->PauseDone();
    }
    if (trace_) trace_->Line((poll > 0 ? "polled " : "paused ") + std::to_string(milliseconds));
}

}  // namespace orlax::gui

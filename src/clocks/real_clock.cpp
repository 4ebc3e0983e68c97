#include "clocks/real_clock.h"

#include <thread>

namespace orlax::clocks {

RealClock::RealClock() : start_(std::chrono::steady_clock::now()) {}

std::uint32_t RealClock::GetTickCount() {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return static_cast<std::uint32_t>(ms);  // wraps like the tick counter it stands for
}

void RealClock::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace orlax::clocks

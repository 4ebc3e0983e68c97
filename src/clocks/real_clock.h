// The steady clock of the machine, in milliseconds.
#pragma once

#include <chrono>

#include "platform/clock.h"

namespace orlax::clocks {

class RealClock final : public platform::Clock {
public:
    RealClock();
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;

private:
    std::chrono::steady_clock::time_point start_;
};

}  // namespace orlax::clocks

// The clock port: the only way the device logic reads the time or pauses.
#pragma once

#include <cstdint>

namespace orlax::platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; wraps after 2^32 ms.
    virtual std::uint32_t GetTickCount() = 0;
    // Blocks the calling thread for `milliseconds`.
    virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace orlax::platform

// Where the device layer's words go: the operator log that the operations
// own. The device layer appends; it never clears, and never decides what a
// failure means for the operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace orlax::device {

class LogPort {
public:
    static constexpr std::size_t kMaxHexBytes = 66;  // bytes taken by one LogHex

    virtual ~LogPort() = default;
    // Appends a text and shows the log.
    virtual int AppendLog(std::string_view text) = 0;
    // Appends the bytes as "%.2X " groups, at most kMaxHexBytes of them.
    virtual int LogHex(std::span<const std::uint8_t> bytes) = 0;
};

}  // namespace orlax::device

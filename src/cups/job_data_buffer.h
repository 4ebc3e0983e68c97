// A job's data gathered into pieces before it goes to the print service:
// the tool writes device files in blocks of 1000 bytes, and each write to
// CUPS costs about as much as the data it carries (it flushes CUPS's own
// buffer into the connection and looks for an early answer from the
// scheduler). Pieces of 64 KiB make those costs vanish beside the transfer.
// The bytes reach the sink unchanged and in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace orlax::cups {

inline constexpr std::size_t kJobDataPiece = 64 * 1024;

class JobDataBuffer {
public:
    // Takes one piece; false when it could not be passed on.
    using Sink = std::function<bool(std::span<const std::uint8_t>)>;

    explicit JobDataBuffer(Sink sink, std::size_t pieceSize = kJobDataPiece);

    // Adds bytes; every full piece goes to the sink. False when the sink
    // refused a piece, now or before: nothing more is passed on after that.
    bool Write(std::span<const std::uint8_t> bytes);
    // Passes on what is left (a last, shorter piece; nothing when empty).
    bool Flush();

private:
    bool Pass();

    Sink sink_;
    std::vector<std::uint8_t> piece_;
    std::size_t pieceSize_;
    bool failed_ = false;
};

}  // namespace orlax::cups

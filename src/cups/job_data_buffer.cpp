#include "cups/job_data_buffer.h"

#include <algorithm>

namespace orlax::cups {

JobDataBuffer::JobDataBuffer(Sink sink, std::size_t pieceSize)
    : sink_(std::move(sink)), pieceSize_(std::max<std::size_t>(pieceSize, 1)) {
    piece_.reserve(pieceSize_);
}

bool JobDataBuffer::Pass() {
    if (failed_) return false;
    if (!piece_.empty() && !sink_(piece_)) failed_ = true;
    piece_.clear();
    return !failed_;
}

bool JobDataBuffer::Write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty() && !failed_) {
        const std::size_t take = std::min(bytes.size(), pieceSize_ - piece_.size());
        piece_.insert(piece_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
        bytes = bytes.subspan(take);
        if (piece_.size() == pieceSize_) Pass();
    }
    return !failed_;
}

bool JobDataBuffer::Flush() { return Pass(); }

}  // namespace orlax::cups

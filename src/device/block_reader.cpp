#include "device/block_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace orlax::device {

BlockReader::Source BlockReader::FromFile(int fd) {
    return [fd](std::span<std::uint8_t> into) { return ::read(fd, into.data(), into.size()); };
}

BlockReader::BlockReader(Source source) : source_(std::move(source)), buffer_(kTransferBlock * kBlocksPerRead) {}

void BlockReader::Fill() {
    while (end_ - begin_ < kTransferBlock && !atEnd_ && !failed_) {
        // What is left of the buffer moves to its front: less than a block,
        // and only when a read came back short (a pipe, a signal).
        if (begin_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
            end_ -= begin_;
            begin_ = 0;
        }
        const std::span<std::uint8_t> room = std::span(buffer_).subspan(end_);
        const ssize_t got = source_(room);
        if (got > 0)
            end_ += std::min(static_cast<std::size_t>(got), room.size());
        else if (got == 0)
            atEnd_ = true;
        else if (errno != EINTR)
            failed_ = true;
    }
}

std::optional<std::span<const std::uint8_t>> BlockReader::Next() {
    Fill();
    if (failed_ && begin_ == end_) return std::nullopt;
    const std::size_t count = std::min(kTransferBlock, end_ - begin_);
    const std::span<const std::uint8_t> block(buffer_.data() + begin_, count);
    begin_ += count;
    return block;
}

}  // namespace orlax::device

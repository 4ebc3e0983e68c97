// A device file read block by block for streaming to the queue: every block
// holds 1000 bytes except the last, which holds the rest of the file
// (possibly nothing). The file is read from the system 64 blocks at a time,
// so a large firmware image costs one read call per 64 blocks rather than
// one per block; the blocks themselves, and so what the spooler is given,
// are the same.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace orlax::device {

inline constexpr std::size_t kTransferBlock = 1000;

class BlockReader {
public:
    static constexpr std::size_t kBlocksPerRead = 64;

    // Where the bytes come from, as read(2) gives them: fills what it can of
    // the span and returns the count, 0 at the end, -1 (errno set) when the
    // read failed.
    using Source = std::function<ssize_t(std::span<std::uint8_t>)>;
    // Reads from the open file `fd`, which stays the caller's.
    static Source FromFile(int fd);

    explicit BlockReader(Source source);

    // The next block, valid until the next call: kTransferBlock bytes, fewer
    // at the end of the file, none once everything has been read. nullopt
    // when reading failed; the bytes read before the failure come first, as
    // a shorter block.
    std::optional<std::span<const std::uint8_t>> Next();

private:
    // Reads until a whole block is buffered, the file ends or a read fails.
    void Fill();

    Source source_;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0;  // the first byte not yet handed out
    std::size_t end_ = 0;    // one past the last byte read
    bool atEnd_ = false;
    bool failed_ = false;
};

}  // namespace orlax::device

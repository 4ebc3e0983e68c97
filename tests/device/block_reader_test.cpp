// Device files read in 1000-byte blocks from a buffer filled 64 blocks at a
// time: the blocks must be what reading 1000 bytes at a time gives, whatever
// sizes the reads come back in, and a failed read must end the file.
#include "device/block_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "support/data_root.h"

namespace orlax::device {
namespace {

using testing::PatternBytes;

// One step of a scripted source: a read of at most `count` bytes, or a
// failure with `error`.
struct Step {
    std::size_t count = 0;
    int error = 0;
};

// Serves `content` in reads no larger than the script says; when the script
// runs out, reads are as large as the reader asks for.
BlockReader::Source Scripted(const std::vector<std::uint8_t>& content, std::deque<Step> script) {
    return [content, script = std::move(script), at = std::size_t{0}](std::span<std::uint8_t> into) mutable -> ssize_t {
        std::size_t limit = into.size();
        if (!script.empty()) {
            const Step step = script.front();
            script.pop_front();
            if (step.error) {
                errno = step.error;
                return -1;
            }
            limit = std::min(limit, step.count);
        }
        const std::size_t count = std::min(limit, content.size() - at);
        std::copy_n(content.begin() + static_cast<std::ptrdiff_t>(at), count, into.begin());
        at += count;
        return static_cast<ssize_t>(count);
    };
}

struct Result {
    std::vector<std::size_t> sizes;  // of every block, the empty last one included
    std::vector<std::uint8_t> bytes;
    bool failed = false;
};

Result ReadAll(BlockReader& reader) {
    Result result;
    for (;;) {
        const auto block = reader.Next();
        if (!block) {
            result.failed = true;
            return result;
        }
        result.sizes.push_back(block->size());
        result.bytes.insert(result.bytes.end(), block->begin(), block->end());
        if (block->empty()) return result;
    }
}

// The blocks that reading 1000 bytes at a time gives for `size` bytes.
std::vector<std::size_t> BlocksOf(std::size_t size) {
    std::vector<std::size_t> sizes(size / kTransferBlock, kTransferBlock);
    if (size % kTransferBlock) sizes.push_back(size % kTransferBlock);
    sizes.push_back(0);
    return sizes;
}

TEST(BlockReader, FileComesInWholeBlocksThenTheRestThenNothing) {
    const std::size_t buffer = kTransferBlock * BlockReader::kBlocksPerRead;
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{999}, std::size_t{1000}, std::size_t{1001}, std::size_t{2500},
          buffer - 1, buffer, buffer + 1, 3 * buffer + 4321}) {
        testing::TempDataRoot data;
        const auto content = PatternBytes(size);
        data.Put("firm.bin", content);
        const int fd = ::open(data.PathOf("firm.bin").c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(fd, 0);
        BlockReader reader(BlockReader::FromFile(fd));
        const Result result = ReadAll(reader);
        ::close(fd);
        EXPECT_FALSE(result.failed) << size;
        EXPECT_EQ(result.sizes, BlocksOf(size)) << size;
        EXPECT_EQ(result.bytes, content) << size;
    }
}

// Reads that come back short (a pipe, a signal) still make whole blocks.
TEST(BlockReader, ShortReadsStillMakeWholeBlocks) {
    struct Case {
        const char* what;
        std::size_t size;
        std::deque<Step> script;
    };
    const std::deque<Step> dribble(200, Step{300, 0});
    const Case cases[] = {
        {"300 bytes a read", 2500, dribble},
        {"one byte, then the rest", 2500, {{1, 0}}},
        {"a read interrupted by a signal", 2500, {{0, EINTR}, {700, 0}, {0, EINTR}}},
        {"a block that straddles two fills", 64999, {{63500, 0}}},
    };
    for (const Case& c : cases) {
        const auto content = PatternBytes(c.size);
        BlockReader reader(Scripted(content, c.script));
        const Result result = ReadAll(reader);
        EXPECT_FALSE(result.failed) << c.what;
        EXPECT_EQ(result.sizes, BlocksOf(c.size)) << c.what;
        EXPECT_EQ(result.bytes, content) << c.what;
    }
}

// A failed read ends the file: what was read before it comes first, as the
// reads of 1000 bytes would have given it, then the failure, for good.
TEST(BlockReader, FailedReadEndsTheFileAfterWhatCameBefore) {
    struct Case {
        const char* what;
        std::deque<Step> script;
        std::vector<std::size_t> blocksBefore;
    };
    const Case cases[] = {
        {"at once", {{0, EIO}}, {}},
        {"after 2500 bytes", {{2500, 0}, {0, EIO}}, {1000, 1000, 500}},
        {"after a whole buffer", {{64000, 0}, {0, EIO}}, std::vector<std::size_t>(64, 1000)},
    };
    for (const Case& c : cases) {
        BlockReader reader(Scripted(PatternBytes(100000), c.script));
        const Result result = ReadAll(reader);
        EXPECT_TRUE(result.failed) << c.what;
        EXPECT_EQ(result.sizes, c.blocksBefore) << c.what;
        EXPECT_FALSE(reader.Next()) << c.what;
    }
}

TEST(BlockReader, DirectoryCannotBeRead) {
    testing::TempDataRoot data;
    const int fd = ::open(data.Folder().c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    BlockReader reader(BlockReader::FromFile(fd));
    EXPECT_FALSE(reader.Next());
    ::close(fd);
}

}  // namespace
}  // namespace orlax::device

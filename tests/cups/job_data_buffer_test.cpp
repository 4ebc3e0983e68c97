// A job's data gathered into pieces before it goes to CUPS: every byte
// reaches the sink once, in order, in full pieces but for the last; a piece
// the sink refuses fails that write and everything after it.
#include "cups/job_data_buffer.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/data_root.h"

namespace orlax::cups {
namespace {

constexpr std::size_t kPiece = 10;

struct Sink {
    std::vector<std::size_t> pieces;  // the size of each piece passed on
    std::vector<std::uint8_t> bytes;
    std::size_t refuseFrom = SIZE_MAX;  // the first piece (0-based) refused

    JobDataBuffer::Sink Function() {
        return [this](std::span<const std::uint8_t> piece) {
            if (pieces.size() >= refuseFrom) return false;
            pieces.push_back(piece.size());
            bytes.insert(bytes.end(), piece.begin(), piece.end());
            return true;
        };
    }
};

TEST(JobDataBuffer, BytesPassOnceInOrderInFullPieces) {
    struct Case {
        const char* what;
        std::vector<std::size_t> writes;
        std::vector<std::size_t> piecesBeforeFlush;
        std::vector<std::size_t> piecesAfterFlush;
    };
    const Case cases[] = {
        {"nothing", {}, {}, {}},
        {"only empty writes", {0, 0}, {}, {}},
        {"less than a piece", {3, 3}, {}, {6}},
        {"exactly a piece", {10}, {10}, {10}},
        {"small writes over several pieces", {3, 3, 3, 3, 3, 3, 3}, {10, 10}, {10, 10, 1}},
        {"one write of several pieces", {25}, {10, 10}, {10, 10, 5}},
        {"a piece split across writes, an empty write between", {9, 0, 1, 9}, {10}, {10, 9}},
    };
    for (const Case& c : cases) {
        Sink sink;
        JobDataBuffer buffer(sink.Function(), kPiece);
        std::vector<std::uint8_t> all;
        std::size_t offset = 0;
        for (const std::size_t size : c.writes) {
            const auto bytes = testing::PatternBytes(offset + size);
            const std::span<const std::uint8_t> write = std::span(bytes).subspan(offset);
            all.insert(all.end(), write.begin(), write.end());
            EXPECT_TRUE(buffer.Write(write)) << c.what;
            offset += size;
        }
        EXPECT_EQ(sink.pieces, c.piecesBeforeFlush) << c.what;
        EXPECT_TRUE(buffer.Flush()) << c.what;
        EXPECT_EQ(sink.pieces, c.piecesAfterFlush) << c.what;
        EXPECT_EQ(sink.bytes, all) << c.what;
        EXPECT_TRUE(buffer.Flush()) << c.what;  // nothing left: nothing more passed on
        EXPECT_EQ(sink.pieces, c.piecesAfterFlush) << c.what;
    }
}

TEST(JobDataBuffer, RefusedPieceFailsThatWriteAndEverythingAfter) {
    struct Case {
        const char* what;
        std::size_t refuseFrom;
        std::vector<bool> writesOk;  // of four writes of 6 bytes
        bool flushOk;
        std::size_t passed;
    };
    const Case cases[] = {
        {"the first piece", 0, {true, false, false, false}, false, 0},
        {"the second piece", 1, {true, true, true, false}, false, 10},
        {"the last, shorter piece", 2, {true, true, true, true}, false, 20},
    };
    for (const Case& c : cases) {
        Sink sink;
        sink.refuseFrom = c.refuseFrom;
        JobDataBuffer buffer(sink.Function(), kPiece);
        const auto bytes = testing::PatternBytes(6);
        for (std::size_t i = 0; i < c.writesOk.size(); ++i)
            EXPECT_EQ(buffer.Write(bytes), c.writesOk[i]) << c.what << " write " << i;
        EXPECT_EQ(buffer.Flush(), c.flushOk) << c.what;
        EXPECT_EQ(sink.bytes.size(), c.passed) << c.what;
    }
}

}  // namespace
}  // namespace orlax::cups

#include "util/format.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace orlax::util {
namespace {

// Like a fixed buffer of that size: at most size - 1 characters, up to the
// first NUL.
TEST(Format, CutsAsAFixedBufferWould) {
    struct Case {
        std::size_t size;
        const char* text;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {0, "abc", ""}, {1, "abc", ""}, {3, "abc", "ab"}, {4, "abc", "abc"}, {100, "abc", "abc"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatCut(c.size, "%s", c.text), c.expected) << c.size;
    EXPECT_EQ(FormatCut(20, "%.2X|%c|%d", 0x1Bu, 0, 7), "1B|");
    EXPECT_EQ(FormatCut(20, "%3.2d,%.4lld", 5, 2024LL), " 05,2024");
}

TEST(Format, IntoABufferTellsTheFullLengthAndStaysTerminated) {
    std::array<char, 6> buffer;
    buffer.fill('#');
    EXPECT_EQ(FormatInto(buffer, "%s-%u", "abcd", 42u), 7);
    EXPECT_EQ(std::string(buffer.data()), "abcd-");
    EXPECT_EQ(FormatInto(buffer, "%d", 12), 2);
    EXPECT_EQ(std::string(buffer.data()), "12");
    EXPECT_EQ(FormatInto(std::span<char>(buffer.data(), 0), "%d", 12), 2);
}

}  // namespace
}  // namespace orlax::util

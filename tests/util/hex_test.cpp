#include "util/hex.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace orlax::util {
namespace {

// Every byte value spells as printf spells it.
TEST(Hex, EveryByteAsPrintfSpellsIt) {
    for (int value = 0; value < 256; ++value) {
        const auto byte = static_cast<std::uint8_t>(value);
        char upper[3];
        char lower[3];
        std::snprintf(upper, sizeof upper, "%.2X", value);
        std::snprintf(lower, sizeof lower, "%.2x", value);
        std::string text;
        AppendHexByte(text, byte, HexCase::Upper);
        AppendHexByte(text, byte, HexCase::Lower);
        EXPECT_EQ(text, std::string(upper) + lower) << value;
    }
}

TEST(Hex, AppendsAfterWhatIsThereWithTheGivenSeparator) {
    struct Case {
        std::string before;
        std::vector<std::uint8_t> bytes;
        HexCase letters;
        std::string_view after;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"", {}, HexCase::Upper, " ", ""},
        {"JOB 2 ", {0x1B, 0xAF}, HexCase::Upper, "", "JOB 2 1BAF"},
        {"", {0x00, 0x0F, 0xF0}, HexCase::Upper, " ", "00 0F F0 "},
        {"x", {0xAB, 0xCD}, HexCase::Lower, "", "xabcd"},
    };
    for (const Case& c : cases) {
        std::string text = c.before;
        AppendHex(text, c.bytes, c.letters, c.after);
        EXPECT_EQ(text, c.expected);
        EXPECT_EQ(c.before + Hex(c.bytes, c.letters, c.after), c.expected);
    }
}

}  // namespace
}  // namespace orlax::util

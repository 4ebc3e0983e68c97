// The digest itself is libcrypto's; what is ours is the hex form, that every
// piece given to the hasher reaches it, and that a finished hasher starts
// over.
#include "emulator/sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orlax::emulator {
namespace {

std::vector<std::uint8_t> Text(std::string_view text) { return {text.begin(), text.end()}; }

constexpr const char* kAbc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

TEST(Sha256, GivesTheDigestAsLowerCaseHex) {
    EXPECT_EQ(Sha256Hex(Text("abc")), kAbc);
    EXPECT_EQ(Sha256Hex({}), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(Sha256Hasher, PiecesGiveTheDigestOfTheWholeThenItStartsOver) {
    struct Case {
        std::size_t length;
        std::vector<std::size_t> pieces;  // sizes fed in turn; the rest goes last
    };
    const std::vector<Case> cases = {{0, {}}, {0, {0, 0}}, {1, {0, 1}}, {1000, {1, 2, 3, 500}}};
    for (const Case& c : cases) {
        std::vector<std::uint8_t> message(c.length);
        for (std::size_t i = 0; i < c.length; ++i) message[i] = static_cast<std::uint8_t>(i);
        Sha256Hasher hasher;
        std::size_t at = 0;
        for (const std::size_t piece : c.pieces) {
            hasher.Update(std::span(message).subspan(at, piece));
            at += piece;
        }
        hasher.Update(std::span(message).subspan(at));
        EXPECT_EQ(DigestHex(hasher.Finish()), Sha256Hex(message)) << "length " << c.length;
        hasher.Update(Text("abc"));
        EXPECT_EQ(DigestHex(hasher.Finish()), kAbc);
    }
}

}  // namespace
}  // namespace orlax::emulator

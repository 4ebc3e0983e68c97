#include "emulator/sha256.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orlax::emulator {
namespace {

std::vector<std::uint8_t> Text(std::string_view text) { return {text.begin(), text.end()}; }

// Bytes 0, 1, 2, ... (mod 256): lengths around the one- and two-block padding
// boundaries.
std::vector<std::uint8_t> Counting(std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

struct Vector {
    std::vector<std::uint8_t> message;
    std::string digest;
};

TEST(Sha256, MatchesReferenceDigests) {
    const std::vector<Vector> vectors = {
        // FIPS 180-4 examples.
        {Text(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {Text("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {Text("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {Text("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopq"
              "klmnopqrlmnopqrsmnopqrstnopqrstu"),
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::vector<std::uint8_t>(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {Counting(55), "463eb28e72f82e0a96c0a4cc53690c571281131f672aa229e0d45ae59b598b59"},
        {Counting(56), "da2ae4d6b36748f2a318f23e7ab1dfdf45acdc9d049bd80e59de82a60895f562"},
        {Counting(63), "29af2686fd53374a36b0846694cc342177e428d1647515f078784d69cdb9e488"},
        {Counting(64), "fdeab9acf3710362bd2658cdc9a29e8f9c757fcf9811603a8c447cd1d9151108"},
        {Counting(65), "4bfd2c8b6f1eec7a2afeb48b934ee4b2694182027e6d0fc075074f2fabb31781"},
        {Counting(119), "da18797ed7c3a777f0847f429724a2d8cd5138e6ed2895c3fa1a6d39d18f7ec6"},
        {Counting(120), "f52b23db1fbb6ded89ef42a23ce0c8922c45f25c50b568a93bf1c075420bbb7c"},
    };
    for (const Vector& v : vectors)
        EXPECT_EQ(Sha256Hex(v.message), v.digest) << "length " << v.message.size();
}

// A message fed in pieces gives the digest of the whole, wherever the pieces
// fall against the 64-byte blocks; a finished hasher starts over.
TEST(Sha256Hasher, PiecesGiveTheDigestOfTheWhole) {
    struct Case {
        std::size_t length;
        std::vector<std::size_t> pieces;  // sizes fed in turn; the rest goes last
    };
    const std::vector<Case> cases = {
        {0, {}},          {0, {0, 0}},          {1, {0, 1}},         {63, {1, 62}},
        {64, {63, 1}},    {65, {64, 0, 1}},     {120, {7, 57, 56}},  {1000, {1, 2, 3, 500}},
        {5000, {1000, 1000, 1000, 1000}},        {129, {128}},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> message = Counting(c.length);
        Sha256Hasher hasher;
        std::size_t at = 0;
        for (const std::size_t piece : c.pieces) {
            hasher.Update(std::span(message).subspan(at, piece));
            at += piece;
        }
        hasher.Update(std::span(message).subspan(at));
        EXPECT_EQ(DigestHex(hasher.Finish()), Sha256Hex(message)) << "length " << c.length;
        hasher.Update(Text("abc"));
        EXPECT_EQ(DigestHex(hasher.Finish()),
                  "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    }
}

}  // namespace
}  // namespace orlax::emulator

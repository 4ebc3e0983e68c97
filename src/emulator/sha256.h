// SHA-256 of a byte string, for the job journal's digest of long jobs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orlax::emulator {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::span<const std::uint8_t> data);

// The digest as 64 lower-case hex digits.
std::string Sha256Hex(std::span<const std::uint8_t> data);

// A digest as 64 lower-case hex digits.
std::string DigestHex(const Sha256Digest& digest);

// SHA-256 of a byte string that arrives in pieces (a job streamed from a
// connection): the digest of all pieces given to Update, in order.
class Sha256Hasher {
public:
    Sha256Hasher();
    void Update(std::span<const std::uint8_t> data);
    // The digest of everything given so far; the hasher then starts over.
    Sha256Digest Finish();

private:
    std::array<std::uint32_t, 8> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingLength_ = 0;
    std::uint64_t totalLength_ = 0;
};

}  // namespace orlax::emulator

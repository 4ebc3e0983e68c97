// SHA-256 of a byte string, for the job journal's digest of long jobs.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace orlax::emulator {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::span<const std::uint8_t> data);

// The digest as 64 lower-case hex digits.
std::string Sha256Hex(std::span<const std::uint8_t> data);

}  // namespace orlax::emulator

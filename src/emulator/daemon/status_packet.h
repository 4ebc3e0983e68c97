// The network link's status request as the unit recognises it: the 8 bytes
// 1B 04 00 <request> 00 00 00 <checksum>, the checksum being the low 8 bits
// of the sum of bytes 0 to 6. Any other start of a connection is a print job.
#pragma once

#include <cstddef>
#include <cstdint>
#include <numeric>
#include <span>

namespace orlax::emulator {

inline constexpr std::size_t kStatusPacketSize = 8;

inline bool IsStatusPacket(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kStatusPacketSize) return false;
    const auto sum = std::accumulate(bytes.begin(), bytes.end() - 1, 0u);
    return bytes[0] == 0x1B && bytes[1] == 0x04 && bytes[2] == 0x00 && bytes[4] == 0x00 && bytes[5] == 0x00 &&
           bytes[6] == 0x00 && bytes[7] == static_cast<std::uint8_t>(sum);
}

}  // namespace orlax::emulator

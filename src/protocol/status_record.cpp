#include "protocol/status_record.h"

#include <algorithm>
#include <numeric>

namespace orlax::protocol {

std::uint32_t ReadBigEndian32(std::span<const std::uint8_t, 4> bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

std::uint32_t ReadBigEndian32(std::span<const std::uint8_t> record, std::size_t at) {
    return ReadBigEndian32(record.subspan(at).first<4>());
}

std::uint8_t StatusChecksum(std::span<const std::uint8_t, kStatusRecordSize> record) {
    const auto covered = record.subspan(1, field::checksum - 1);
    return static_cast<std::uint8_t>(std::accumulate(covered.begin(), covered.end(), 0u));
}

std::string_view FirmwareText(std::span<const std::uint8_t> record) {
    const auto chars = record.subspan(field::firmwareVersion, field::firmwareVersionLength);
    const auto end = std::find(chars.begin(), chars.end(), std::uint8_t{0});
    return {reinterpret_cast<const char*>(chars.data()),
            static_cast<std::size_t>(end - chars.begin())};
}

}  // namespace orlax::protocol

#include "report/record_id.h"

#include <sys/random.h>

#include <array>
#include <cerrno>
#include <cstdint>

#include "util/hex.h"

namespace orlax::report {

std::optional<std::string> NewRecordId() {
    std::array<std::uint8_t, 16> bytes{};
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::getrandom(bytes.data() + got, bytes.size() - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        got += static_cast<std::size_t>(n);
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // RFC 4122 variant
    std::string id;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) id += '-';
        util::AppendHexByte(id, bytes[i], util::HexCase::Lower);
    }
    return id;
}

}  // namespace orlax::report

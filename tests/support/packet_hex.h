// Command packets written in tests as the unit's bytes in hex,
// e.g. "1B 04 02 01 00 00 00 22".
#pragma once

#include <cstdint>
#include <sstream>
#include <vector>

#include "device/command_packet.h"

namespace orlax::testing {

inline std::vector<device::CommandPacket> PacketsFromHex(const std::vector<const char*>& packets) {
    std::vector<device::CommandPacket> parsed;
    for (const char* hex : packets) {
        device::CommandPacket packet{};
        std::istringstream in(hex);
        for (auto& byte : packet) {
            unsigned value = 0;
            in >> std::hex >> value;
            byte = static_cast<std::uint8_t>(value);
        }
        parsed.push_back(packet);
    }
    return parsed;
}

}  // namespace orlax::testing

// Command packets written in tests as the unit's bytes in hex,
// e.g. "1B 04 02 01 00 00 00 22", or built from a code with their checksum.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "protocol/command_packet.h"

namespace orlax::testing {

// "1B 04 08 02 FC 00 00 25" as a packet.
inline protocol::CommandPacket Packet(const std::string& hex) {
    protocol::CommandPacket packet{};
    std::istringstream in(hex);
    for (auto& byte : packet) {
        unsigned value = 0;
        in >> std::hex >> value;
        byte = static_cast<std::uint8_t>(value);
    }
    return packet;
}

inline std::vector<protocol::CommandPacket> Packets(const std::vector<const char*>& hex) {
    std::vector<protocol::CommandPacket> packets;
    for (const char* h : hex) packets.push_back(Packet(h));
    return packets;
}

// The bytes of a command with any code (known or not) and a right checksum,
// as a job the unit receives.
inline std::vector<std::uint8_t> CommandJob(std::uint8_t code, std::uint8_t arg1 = 0, std::uint8_t arg2 = 0) {
    std::vector<std::uint8_t> job = {0x1B, 0x04, code, arg1, arg2, 0, 0, 0};
    for (std::size_t i = 0; i < 7; ++i) job[7] = static_cast<std::uint8_t>(job[7] + job[i]);
    return job;
}

}  // namespace orlax::testing

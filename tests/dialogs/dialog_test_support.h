// What the dialog tests share: packets written as the unit's bytes in hex,
// scenarios with chosen record bytes, and a run of the main window.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "device/command_packet.h"
#include "emulator/scenario.h"
#include "support/session.h"

namespace orlax::testing {

// "1B 04 08 02 FC 00 00 25" as a packet.
inline device::CommandPacket Packet(const std::string& hex) {
    device::CommandPacket packet{};
    std::istringstream in(hex);
    for (auto& byte : packet) {
        unsigned value = 0;
        in >> std::hex >> value;
        byte = static_cast<std::uint8_t>(value);
    }
    return packet;
}

inline std::vector<device::CommandPacket> Packets(std::initializer_list<const char*> hex) {
    std::vector<device::CommandPacket> packets;
    for (const char* h : hex) packets.push_back(Packet(h));
    return packets;
}

// The default unit with some record bytes set (signed values as their low 8 bits).
inline emulator::Scenario ScenarioWith(std::initializer_list<std::pair<std::size_t, int>> bytes) {
    emulator::Scenario scenario = emulator::DefaultScenario();
    for (const auto& [at, value] : bytes) scenario.record[at] = static_cast<std::uint8_t>(value);
    return scenario;
}

}  // namespace orlax::testing

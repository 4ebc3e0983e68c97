// What the dialog tests share: packets written as the unit's bytes in hex,
// scenarios with chosen record bytes, and a run of the main window.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "protocol/command_packet.h"
#include "emulator/scenario.h"
#include "support/packet_hex.h"
#include "support/session.h"

namespace orlax::testing {

// The default unit with some record bytes set (signed values as their low 8 bits).
inline emulator::Scenario ScenarioWith(std::initializer_list<std::pair<std::size_t, int>> bytes) {
    emulator::Scenario scenario = emulator::DefaultScenario();
    for (const auto& [at, value] : bytes) scenario.record[at] = static_cast<std::uint8_t>(value);
    return scenario;
}

}  // namespace orlax::testing

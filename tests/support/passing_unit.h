// A unit that passes the final check with every tolerance 0: offsets and low
// sensor readings 0, LEX 99 and a firmware text found within "Not Set".
#pragma once

#include <string_view>

#include "emulator/scenario.h"
#include "support/record_builder.h"

namespace orlax::testing {

inline emulator::Scenario PassingScenario(std::string_view firmware = "Not Set") {
    emulator::Scenario scenario = emulator::DefaultScenario();
    RecordBytes& record = scenario.record;
    PutFirmware(record, firmware);
    record[protocol::field::trayInSensorHigh] = 200;
    record[protocol::field::diskInSensorHigh] = 180;
    PutU32(record, protocol::field::yellowSpitsA, 1520);
    PutU32(record, protocol::field::cyanSpitsB, 301);
    PutU32(record, protocol::field::disksPrinted, 1234);
    PutU32(record, protocol::field::disksPicked, 1240);
    Seal(record);
    return scenario;
}

// The same unit as a scenario file gives it.
inline constexpr std::string_view kPassingScenarioJson = R"({
  "record": {"firmwareVersion": "Not Set", "trayInSensorHigh": 200, "diskInSensorHigh": 180,
             "yellowSpitsA": 1520, "cyanSpitsB": 301, "disksPrinted": 1234, "disksPicked": 1240}
})";

}  // namespace orlax::testing

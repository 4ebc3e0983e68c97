// The unit's status record as one JSON object keyed by the scenario file's
// record field names, each field with its value as the record holds it, so
// that {"record": <object>} as a scenario gives an emulated unit the same
// report.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "protocol/status_record.h"

namespace orlax::report {

std::string StatusRecordJson(std::span<const std::uint8_t, protocol::kStatusRecordSize> record);

}  // namespace orlax::report

// The status report: the last reply as a hex dump, then the record's fields
// and the mirror's offsets as labelled text in the operator log.
#pragma once

#include <string>

namespace orlax::device {
struct DeviceState;
class LogPort;
}

namespace orlax::report {

// Stage 2 of the report, the formatted text (at most 861 characters).
std::string FormatStatusReport(const device::DeviceState& state);

// The dump (four appends of a line each) and the report text in one append.
int ShowStatusReport(const device::DeviceState& state, device::LogPort& log);

}  // namespace orlax::report

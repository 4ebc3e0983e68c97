// The code tables of the status report: a text per known code, a fallback
// format for any other.
#pragma once

#include <cstdint>
#include <string>

namespace orlax::report {

std::string ModelTypeText(std::uint8_t code);
std::string PenConfigText(std::uint8_t code);
std::string SystemStatusText(std::uint8_t code);
std::string TrayStatusText(std::uint8_t code);
std::string PickerStatusText(std::uint8_t code);

}  // namespace orlax::report

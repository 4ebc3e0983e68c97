// The names the spooler carries for the unit: every job is a RAW job of one
// document name, and the status is printer data of one value name.
#pragma once

#include <string_view>

namespace orlax::protocol {

inline constexpr std::string_view kRawDataType = "RAW";
inline constexpr std::string_view kJobDocumentName = "Lumetra Command";
inline constexpr std::string_view kStatusValueName = "KORVANE";

}  // namespace orlax::protocol

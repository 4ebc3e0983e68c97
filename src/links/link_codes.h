// The spooler error code of each link result (platform/spooler_errors.h):
// what GetLastError gives after a status read that failed that way.
#pragma once

#include <cstdint>

#include "links/link_result.h"

namespace orlax::links {

// 0 for Ok.
std::uint32_t CodeOf(LinkResult result);

}  // namespace orlax::links

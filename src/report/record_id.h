// The id a station gives each record row: a random (version 4) UUID, from
// the kernel's random source, so that stations never need to agree on ids.
#pragma once

#include <optional>
#include <string>

namespace orlax::report {

// "xxxxxxxx-xxxx-4xxx-yxxx-xxxxxxxxxxxx" in lower-case hex; nullopt when the
// random source gave nothing.
std::optional<std::string> NewRecordId();

}  // namespace orlax::report

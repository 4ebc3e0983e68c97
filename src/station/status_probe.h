// One status read through a queue, as GET STATUS reads it: the one-byte
// request under "KORVANE", then reads until a whole record with a good
// checksum comes back or the status query's budget (2000 ms) is spent.
#pragma once

#include <string>

#include "platform/spooler.h"
#include "station/station.h"

namespace orlax::station {

StatusProbe ReadStatusThrough(platform::Spooler& spooler, const std::string& queue);

}  // namespace orlax::station

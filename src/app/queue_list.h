// The list of local print queues, read once when the main window opens.
#pragma once

#include <string>
#include <vector>

namespace orlax::platform {
class Spooler;
}

namespace orlax::app {

inline constexpr const char* kFixedQueueEntry = "Lumetra PRO";

// Fills `names` with the local queues in the spooler's order. Returns 1 when
// the enumeration succeeded and yielded at least one queue, else 0; `listed`,
// when given, tells whether the spooler could list its queues at all.
int ReadPrinterList(platform::Spooler& spooler, std::vector<std::string>& names, bool* listed = nullptr);

}  // namespace orlax::app

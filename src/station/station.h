// orlax-station: sets up and checks the CUPS queue of an ORLAX PRO, the
// commands over what a station has: the print server (its queues, and the
// setting up of one), the printers attached by USB, CUPS's usb quirks folder,
// the status read through a queue and the device data folder. The program
// gives the real ones (main.cpp); the tests give stand-ins.
//
//   list             the units attached by USB and the queues, each queue
//                    marked whether its URI carries the status and whether
//                    jobs through it end promptly
//   add NAME [URI]   a raw queue to the unit, set for prompt delivery, and
//                    one status read through it
//   check NAME       one line per item a working station needs, with its fix
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cups/queue_admin.h"
#include "cups/queue_service.h"
#include "links/usb/attached_printers.h"
#include "util/exit_status.h"

namespace orlax::station {

using util::kExitFailed;
using util::kExitOk;
using util::kExitUsage;

// One status read through a queue.
struct StatusProbe {
    bool ok = false;
    std::string said;  // on success the unit's state in words, else why not
};

struct Station {
    cups::QueueService& queues;
    cups::QueueAdmin& admin;
    std::function<bool(std::vector<links::usb::AttachedPrinter>&, std::string&)> attached;
    std::function<StatusProbe(const std::string& queue)> readStatus;
    std::string quirksFolder;  // CUPS's usb quirks folder
    std::string dataRoot = "/";
    std::ostream& out;
    std::ostream& err;
};

int List(Station& station);
int Add(Station& station, const std::string& name, const std::optional<std::string>& uri);
int Check(Station& station, const std::string& name);

}  // namespace orlax::station

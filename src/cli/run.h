// orlaxctl's whole run: parse the command line, build the platform (the
// emulated unit, or the system's spooler), run the main window headless on
// the actions, and give the exit status.
#pragma once

#include <ostream>
#include <span>
#include <string>

#include "util/exit_status.h"

namespace orlax::cli {

using util::kExitFailed;
using util::kExitOk;
using util::kExitUsage;

int Run(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace orlax::cli

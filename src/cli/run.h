// orlaxctl's whole run: parse the command line, build the platform (the
// emulated unit, or the system's spooler), run the main window headless on
// the actions, and give the exit status.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace orlax::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int Run(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace orlax::cli

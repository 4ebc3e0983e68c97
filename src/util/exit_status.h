// The exit status of each of the tool's programs: orlaxctl, orlax-burner,
// orlax-emulator and orlax-station (their manual pages name the same three).
#pragma once

namespace orlax::util {

inline constexpr int kExitOk = 0;      // all went well
inline constexpr int kExitFailed = 1;  // an operation, or the program's own work, failed
inline constexpr int kExitUsage = 2;   // the command line (or orlaxctl's script) is wrong by itself

}  // namespace orlax::util

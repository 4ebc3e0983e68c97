// orlax-burner's command line. Our own options are taken here; every other
// argument is handed on, in order, to Qt, which takes its own (-platform,
// -display, -style, ...) when the application starts: whatever Qt leaves is
// a usage error.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "unit_platform/unit_options.h"

namespace orlax::gui {

// The unit options (--emulate, --journal, --data-root; not --fast: the
// desktop unit answers in real time) and orlax-burner's own.
struct BurnerOptions : unit_platform::UnitChoice {
    bool help = false;
    bool version = false;
    std::optional<std::string> recordDb;  // --record-db CONNINFO
    std::vector<std::string> forQt;  // the arguments that are not ours
};

// The arguments without the program name. On a usage error returns nullopt
// and sets `error` to a one-line message.
std::optional<BurnerOptions> ParseBurnerOptions(std::span<const std::string> args, std::string& error);

// "unknown argument 'X'" for the first argument that Qt left of `forQt`
// (argv[1..argc) after the application took its own); empty when none is left.
std::string LeftoverError(int argc, const char* const* argv);

const char* BurnerUsageText();

}  // namespace orlax::gui

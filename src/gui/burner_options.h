// orlax-burner's command line.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace orlax::gui {

struct BurnerOptions {
    bool emulate = false;
    std::string scenarioPath;  // with --emulate=FILE; empty: the default unit
    std::string dataRoot = "/";
    bool help = false;
};

// The arguments without the program name. On a usage error returns nullopt
// and sets `error` to a one-line message.
std::optional<BurnerOptions> ParseBurnerOptions(std::span<const std::string> args, std::string& error);

const char* BurnerUsageText();

}  // namespace orlax::gui

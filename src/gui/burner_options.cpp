#include "gui/burner_options.h"

#include <string_view>

namespace orlax::gui {

std::optional<BurnerOptions> ParseBurnerOptions(std::span<const std::string> args, std::string& error) {
    BurnerOptions options;
    constexpr std::string_view kEmulate = "--emulate";
    constexpr std::string_view kDataRoot = "--data-root";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == kEmulate) {
            options.emulate = true;
        } else if (arg.starts_with(kEmulate) && arg[kEmulate.size()] == '=') {
            options.emulate = true;
            options.scenarioPath = arg.substr(kEmulate.size() + 1);
            if (options.scenarioPath.empty()) {
                error = "--emulate= needs a scenario file";
                return std::nullopt;
            }
        } else if (arg == kDataRoot) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = "--data-root needs a folder";
                return std::nullopt;
            }
            options.dataRoot = args[++i];
        } else if (arg.starts_with(kDataRoot) && arg[kDataRoot.size()] == '=') {
            options.dataRoot = arg.substr(kDataRoot.size() + 1);
            if (options.dataRoot.empty()) {
                error = "--data-root= needs a folder";
                return std::nullopt;
            }
        } else {
            error = "unknown argument '" + std::string(arg) + "'";
            return std::nullopt;
        }
    }
    return options;
}

const char* BurnerUsageText() {
    return "Usage: orlax-burner [--emulate[=SCENARIO.json]] [--data-root DIR]\n"
           "\n"
           "The ORLAX PRO set-up tool's desktop window.\n"
           "\n"
           "  --emulate[=SCENARIO.json]  work on an emulated unit (in real time)\n"
           "  --data-root DIR            device files and the production record are in\n"
           "                             DIR/Korvane/ORLAXPRO/ (default /)\n"
           "  --help                     this text\n";
}

}  // namespace orlax::gui

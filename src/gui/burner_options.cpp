#include "gui/burner_options.h"

#include <filesystem>
#include <string_view>

namespace orlax::gui {
namespace {

// Paths in the log and in message boxes are the real, whole paths.
bool MakeAbsolute(std::string& folder, std::string& error) {
    std::error_code failed;
    const auto absolute = std::filesystem::absolute(folder, failed);
    if (folder.empty() || failed) {
        error = "--data-root: '" + folder + "' is not a usable folder name";
        return false;
    }
    folder = absolute.lexically_normal().string();
    return true;
}

}  // namespace

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
            if (!MakeAbsolute(options.dataRoot, error)) return std::nullopt;
        } else if (arg.starts_with(kDataRoot) && arg[kDataRoot.size()] == '=') {
            options.dataRoot = arg.substr(kDataRoot.size() + 1);
            if (!MakeAbsolute(options.dataRoot, error)) return std::nullopt;
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
           "The ORLAX PRO set-up tool's desktop window, on the system's print queues.\n"
           "\n"
           "  --emulate[=SCENARIO.json]  work on an emulated unit instead (in real time)\n"
           "  --data-root DIR            device files and the production record are in\n"
           "                             DIR/Korvane/ORLAXPRO/ (default /)\n"
           "  --help                     this text\n";
}

}  // namespace orlax::gui

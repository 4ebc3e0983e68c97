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

// The value of option `name` at args[i]: "--name VALUE" (moving i on) or
// "--name=VALUE". nullopt when args[i] is not that option.
std::optional<std::string> ValueOf(std::string_view name, std::span<const std::string> args, std::size_t& i,
                                   std::string& error, bool& failed) {
    const std::string_view arg = args[i];
    if (arg == name) {
        if (i + 1 >= args.size() || args[i + 1].empty()) {
            error = std::string(name) + " needs a value";
            failed = true;
            return std::nullopt;
        }
        return args[++i];
    }
    if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=') {
        std::string value(arg.substr(name.size() + 1));
        if (value.empty()) {
            error = std::string(name) + "= needs a value";
            failed = true;
            return std::nullopt;
        }
        return value;
    }
    return std::nullopt;
}

}  // namespace

std::optional<BurnerOptions> ParseBurnerOptions(std::span<const std::string> args, std::string& error) {
    BurnerOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        bool failed = false;
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--emulate") {
            options.emulate = true;
        } else if (auto scenario = ValueOf("--emulate", args, i, error, failed); scenario || failed) {
            // Only "--emulate=FILE": the bare option takes no value.
            if (failed) return std::nullopt;
            options.emulate = true;
            options.scenarioPath = std::move(*scenario);
        } else if (auto journal = ValueOf("--journal", args, i, error, failed); journal || failed) {
            if (failed) return std::nullopt;
            options.journalPath = std::move(*journal);
        } else if (auto root = ValueOf("--data-root", args, i, error, failed); root || failed) {
            if (failed) return std::nullopt;
            options.dataRoot = std::move(*root);
            if (!MakeAbsolute(options.dataRoot, error)) return std::nullopt;
        } else {
            options.forQt.emplace_back(arg);
        }
    }
    if (!options.journalPath.empty() && !options.emulate) {
        error = "--journal needs --emulate";
        return std::nullopt;
    }
    return options;
}

std::string LeftoverError(int argc, const char* const* argv) {
    if (argc < 2) return {};
    return "unknown argument '" + std::string(argv[1]) + "'";
}

const char* BurnerUsageText() {
    return "Usage: orlax-burner [--emulate[=SCENARIO.json] [--journal FILE]] [--data-root DIR]\n"
           "                    [Qt options]\n"
           "\n"
           "The ORLAX PRO set-up tool's desktop window, on the system's print queues.\n"
           "\n"
           "  --emulate[=SCENARIO.json]  work on an emulated unit instead (in real time)\n"
           "  --journal FILE             with --emulate: append one line per exchange with\n"
           "                             the unit to FILE\n"
           "  --data-root DIR            device files and the production record are in\n"
           "                             DIR/Korvane/ORLAXPRO/ (default /)\n"
           "  --version                  the program's version\n"
           "  --help                     this text\n"
           "\n"
           "Qt's own options are taken as well, such as -platform offscreen, -display :1,\n"
           "-style NAME or -reverse.\n";
}

}  // namespace orlax::gui

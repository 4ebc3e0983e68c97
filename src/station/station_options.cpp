#include "station/station_options.h"

#include <array>
#include <vector>

#include "util/option_table.h"

namespace orlax::station {
namespace {

struct CommandForm {
    std::string_view word;
    Command command;
    std::size_t fewest;  // arguments after the word
    std::size_t most;
    std::string_view usage;
};

constexpr std::array kCommands{
    CommandForm{"list", Command::List, 0, 0, "list"},
    CommandForm{"add", Command::Add, 1, 2, "add NAME [URI]"},
    CommandForm{"check", Command::Check, 1, 1, "check NAME"},
};

}  // namespace

std::optional<StationOptions> ParseStationOptions(std::span<const std::string> args, std::string& error) {
    StationOptions options;
    const auto flag = [](bool& into) {
        return [&into](const std::string&, std::string&) { return into = true; };
    };
    const std::array<util::Option, 3> table{{
        {"--help", util::Takes::Nothing, flag(options.help)},
        {"--version", util::Takes::Nothing, flag(options.version)},
        {"--data-root", util::Takes::Value,
         [&](const std::string& value, std::string&) {
             options.dataRoot = value;
             return true;
         },
         "a folder"},
    }};
    const util::Dialect dialect{
        .missingValue = [](std::string_view spelled, std::string_view valueIs) {
            return "option " + std::string(spelled) + " needs " + std::string(valueIs);
        },
        .unknown = nullptr,
        .endAtFirstWord = true,
        .emptyWordIsMissing = true,
    };
    const std::optional<util::Parsed> parsed = util::ParseOptions(args, table, dialect, error);
    if (!parsed) return std::nullopt;
    if (!parsed->handedOn.empty()) {
        error = "unknown option '" + parsed->handedOn.front() + "'";
        return std::nullopt;
    }
    if (options.help || options.version) return options;
    const std::vector<std::string> words(args.begin() + static_cast<std::ptrdiff_t>(parsed->end), args.end());
    if (words.empty()) {
        error = "a command is needed: list, add or check";
        return std::nullopt;
    }
    for (const CommandForm& form : kCommands) {
        if (words.front() != form.word) continue;
        const std::size_t count = words.size() - 1;
        if (count < form.fewest || count > form.most) {
            error = "usage: orlax-station " + std::string(form.usage);
            return std::nullopt;
        }
        options.command = form.command;
        if (count >= 1) options.name = words[1];
        if (count >= 2) options.uri = words[2];
        return options;
    }
    error = "unknown command '" + words.front() + "': list, add or check";
    return std::nullopt;
}

const char* StationUsageText() {
    return "usage: orlax-station [--data-root DIR] list\n"
           "       orlax-station add NAME [URI]\n"
           "       orlax-station [--data-root DIR] check NAME\n"
           "\n"
           "Sets up and checks the CUPS queue of an ORLAX PRO.\n"
           "\n"
           "  list            the ORLAX PRO units attached by USB (URI, vendor:product,\n"
           "                  serial) and the queues, each marked whether its device URI\n"
           "                  carries the unit's status and whether jobs end promptly\n"
           "  add NAME [URI]  make NAME a raw queue to the unit (URI: socket://HOST:PORT or\n"
           "                  usb://...; without it the one unit attached by USB), set for\n"
           "                  prompt delivery, and read the unit's status once through it.\n"
           "                  Needs CUPS administrator rights; without them nothing changes\n"
           "                  and the commands an administrator would run are printed\n"
           "  check NAME      one line per item a working station needs, with its fix\n"
           "\n"
           "  --data-root DIR the data root of orlaxctl and orlax-burner (default /), for\n"
           "                  check's device data folder\n"
           "  --version       print the program's version\n"
           "  --help          this text\n"
           "\n"
           "Exit status: 0 done (check: every item holds), 1 not done or an item fails,\n"
           "2 usage error.\n";
}

}  // namespace orlax::station

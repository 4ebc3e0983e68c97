#include "gui/burner_options.h"

#include <string_view>

#include "linedb/record_db_choice.h"

namespace orlax::gui {

std::optional<BurnerOptions> ParseBurnerOptions(std::span<const std::string> args, std::string& error) {
    BurnerOptions options;
    const auto flag = [](bool& into) {
        return [&into](const std::string&, std::string&) { return into = true; };
    };
    std::vector<util::Option> table = unit_platform::UnitOptionRows(options, unit_platform::WithFast::No);
    table.insert(table.end(), {
                                  {"--help", util::Takes::Nothing, flag(options.help)},
                                  {"-h", util::Takes::Nothing, flag(options.help)},
                                  {"--version", util::Takes::Nothing, flag(options.version)},
                                  linedb::RecordDbOption(options.recordDb),
                              });
    // Every other word goes to Qt (unknown == nullptr).
    const util::Dialect dialect{
        .missingValue = [](std::string_view spelled, std::string_view) {
            return std::string(spelled) + " needs a value";
        },
        .emptyWordIsMissing = true,
    };
    auto parsed = util::ParseOptions(args, table, dialect, error);
    if (!parsed) return std::nullopt;
    options.forQt = std::move(parsed->handedOn);
    if (error = unit_platform::CombinationError(options); !error.empty()) return std::nullopt;
    return options;
}

std::string LeftoverError(int argc, const char* const* argv) {
    if (argc < 2) return {};
    return "unknown argument '" + std::string(argv[1]) + "'";
}

const char* BurnerUsageText() {
    return "Usage: orlax-burner [--emulate[=SCENARIO.json] [--journal FILE]] [--data-root DIR]\n"
           "                    [--record-db CONNINFO] [Qt options]\n"
           "\n"
           "The ORLAX PRO set-up tool's desktop window, on the system's print queues.\n"
           "\n"
           "  --emulate[=SCENARIO.json]  work on an emulated unit instead (in real time)\n"
           "  --journal FILE             with --emulate: append one line per exchange with\n"
           "                             the unit to FILE\n"
           "  --data-root DIR            device files and the production record are in\n"
           "                             DIR/Korvane/ORLAXPRO/ (default /)\n"
           "  --record-db CONNINFO       also send each production record line to this\n"
           "                             PostgreSQL line database (libpq connection string,\n"
           "                             no password in it; default: $ORLAX_RECORD_DB)\n"
           "  --version                  the program's version\n"
           "  --help                     this text\n"
           "\n"
           "Qt's own options are taken as well, such as -platform offscreen, -display :1,\n"
           "-style NAME or -reverse.\n";
}

}  // namespace orlax::gui

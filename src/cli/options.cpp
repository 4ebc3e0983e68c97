#include "cli/options.h"

#include "cli/script_windows.h"
#include "linedb/record_db_choice.h"
#include "res/control_ids.h"

#include <array>
#include <charconv>
#include <string_view>
#include <vector>

namespace orlax::cli {
namespace {

using headless::ScriptAction;
using Kind = ScriptAction::Kind;

using res::kNamedButtons;
using res::NamedButton;
constexpr int kQueueSelector = res::main_window::kQueueSelector;

bool ParseId(std::string_view word, int& id) {
    const char* end = word.data() + word.size();
    const auto [ptr, ec] = std::from_chars(word.data(), end, id);
    return ec == std::errc() && ptr == end && id > 0;
}

// The generic actions with their argument counts.
struct GenericAction {
    std::string_view name;
    Kind kind;
    int idArgs;    // 0 or 1: takes a control id
    int textArgs;  // 0 or 1: takes a text
    int fixedId;   // for ok/cancel
};
constexpr std::array kGenericActions{
    GenericAction{"click", Kind::Click, 1, 0, 0},
    GenericAction{"focus", Kind::Focus, 1, 0, 0},
    GenericAction{"type", Kind::Type, 1, 1, 0},
    GenericAction{"ok", Kind::Click, 0, 0, 1},
    GenericAction{"cancel", Kind::Click, 0, 0, 2},
    GenericAction{"tab", Kind::Tab, 0, 0, 0},
};

}  // namespace

bool ParseActions(std::span<const std::string> words, headless::Script& script, std::string& error) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        const auto missing = [&](const char* what) {
            error = "action '" + word + "' needs " + what;
            return false;
        };
        if (const auto* named = [&]() -> const NamedButton* {
                for (const auto& b : kNamedButtons)
                    if (b.name == word) return &b;
                return nullptr;
            }()) {
            script.push_back({Kind::Click, named->id, {}, word});
            continue;
        }
        if (word == "queue") {
            if (i + 1 >= words.size()) return missing("a queue name");
            const std::string& name = words[++i];
            script.push_back({Kind::Type, kQueueSelector, name, "queue " + name});
            script.push_back({Kind::Leave, kQueueSelector, {}, "queue " + name});
            continue;
        }
        if (word == "list-queues") {
            script.push_back({Kind::ListItems, kQueueSelector, {}, word});
            continue;
        }
        if (word == kStatusJson || word == kRecordSync) {
            script.push_back({Kind::FrontEnd, 0, word, word});
            continue;
        }
        const GenericAction* generic = nullptr;
        for (const auto& g : kGenericActions)
            if (g.name == word) generic = &g;
        if (!generic) {
            error = "unknown action '" + word + "'";
            return false;
        }
        ScriptAction action{generic->kind, generic->fixedId, {}, word};
        if (generic->idArgs) {
            if (i + 1 >= words.size()) return missing("a control id");
            const std::string& id = words[++i];
            if (!ParseId(id, action.id)) {
                error = "action '" + word + "': '" + id + "' is not a control id";
                return false;
            }
            action.source += " " + id;
        }
        if (generic->textArgs) {
            if (i + 1 >= words.size()) return missing("a text");
            action.text = words[++i];
            action.source += " " + action.text;
        }
        script.push_back(std::move(action));
    }
    AssignWindows(script);
    return CheckControls(script, error);
}

std::optional<Options> ParseCommandLine(std::span<const std::string> args, std::string& error) {
    Options options;
    const auto flag = [](bool& into) {
        return [&into](const std::string&, std::string&) { return into = true; };
    };
    std::vector<util::Option> table = unit_platform::UnitOptionRows(options, unit_platform::WithFast::Yes);
    table.insert(table.end(), {
                                  {"--final-log", util::Takes::Nothing, flag(options.finalLog)},
                                  {"--crlf", util::Takes::Nothing, flag(options.crlf)},
                                  {"--keep-going", util::Takes::Nothing, flag(options.keepGoing)},
                                  {"--help", util::Takes::Nothing, flag(options.help)},
                                  {"--version", util::Takes::Nothing, flag(options.version)},
                                  linedb::RecordDbOption(options.recordDb),
                              });
    const util::Dialect dialect{
        .missingValue = [](std::string_view spelled, std::string_view valueIs) {
            return "option " + std::string(spelled) + " needs " + std::string(valueIs);
        },
        .unknown = [](std::string_view word) { return "unknown option '" + std::string(word) + "'"; },
        .endAtFirstWord = true,  // the actions start there
    };
    const auto parsed = util::ParseOptions(args, table, dialect, error);
    if (!parsed) return std::nullopt;
    if (options.help || options.version) return options;
    if (error = unit_platform::CombinationError(options); !error.empty()) return std::nullopt;
    if (!ParseActions(args.subspan(parsed->end), options.actions, error)) return std::nullopt;
    return options;
}

namespace {

// "Actions (main window buttons): " and the buttons' names, from the table
// the actions are parsed with, wrapped at 80 columns.
std::string NamedButtonLines() {
    constexpr std::size_t kWidth = 80;
    std::string text = "Actions (main window buttons):";
    std::size_t lineStart = 0;
    for (const auto& button : kNamedButtons) {
        if (text.size() - lineStart + 1 + button.name.size() > kWidth) {
            text += "\n ";
            lineStart = text.size() - 1;
        }
        text += ' ';
        text += button.name;
    }
    return text + "\n";
}

}  // namespace

const std::string& UsageText() {
    static const std::string text =
        std::string("usage: orlaxctl [OPTIONS] ACTION...\n"
        "\n"
        "Runs the ORLAX PRO set-up tool's main window without a display and performs the\n"
        "actions in order.\n"
        "\n"
        "Options:\n"
        "  --emulate[=SCENARIO.json]  use an emulated ORLAX PRO behind an emulated spooler;\n"
        "                             without it the CUPS print queues are used\n"
        "  --fast                     virtual clock: pauses take no time (with --emulate)\n"
        "  --journal FILE             append every device exchange to FILE (with --emulate)\n"
        "  --data-root DIR            device files are in DIR/Korvane/ORLAXPRO/ (default /)\n"
        "  --final-log                print only the operator log as it stands at exit\n"
        "  --crlf                     print line ends as \\r\\n, as the log holds them\n"
        "  --keep-going               after a failed operation, go on with the next\n"
        "                             main-window step (the exit status is still 1)\n"
        "  --record-db CONNINFO       also send each production record line to this\n"
        "                             PostgreSQL line database (libpq connection string,\n"
        "                             no password in it; default: $ORLAX_RECORD_DB)\n"
        "  --help                     this text\n"
        "  --version                  the program's version\n"
        "\n") +
        NamedButtonLines() +
        "  queue NAME       type NAME into the queue selector and leave it\n"
        "  list-queues      print the queue selector's list, one entry a line\n"
        "  status-json      read the status and print the record as one JSON object\n"
        "  record-sync      send the rows waiting for the line database; exit 1 if any wait\n"
        "Generic actions: click ID   focus ID   type ID TEXT   tab   ok   cancel\n"
        "\n"
        "Each step runs only in the window it was written for: the steps after\n"
        "disk-position or set-offsets (click 1010, click 1011), up to and including the\n"
        "ok or cancel that closes the dialog, belong to that dialog and run nowhere\n"
        "else; when the dialog does not open, none of them runs.\n"
        "The run stops at the first failed operation, naming the step on stderr.\n"
        "\n"
        "Exit status: 0 all went well, 1 an operation failed, 2 the script or the\n"
        "command line is wrong by itself.\n";
    return text;
}

}  // namespace orlax::cli

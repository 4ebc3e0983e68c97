// Any command line for orlaxctl: the words are the input split at zero
// bytes. A refused line gets a message; a line that is taken gives options
// that agree with each other and actions that each name a control and say
// where they came from. The actions alone parse the same way as the whole
// line when no option comes first.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/options.h"
#include "fuzz_check.h"

namespace orlax::fuzz {
namespace {

using Kind = headless::ScriptAction::Kind;

std::vector<std::string> Words(std::string_view input) {
    std::vector<std::string> words;
    if (input.empty()) return words;
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = input.find('\0', at);
        words.emplace_back(input.substr(at, end - at));
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    return words;
}

bool SameScript(const headless::Script& a, const headless::Script& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].id != b[i].id || a[i].text != b[i].text ||
            a[i].source != b[i].source)
            return false;
    return true;
}

void CheckCommandLine(std::string_view input) {
    const std::vector<std::string> words = Words(input);
    std::string error;
    const std::optional<cli::Options> options = cli::ParseCommandLine(words, error);
    if (!options) {
        FUZZ_CHECK(!error.empty(), "refused without a message");
    } else {
        const bool noRun = options->help || options->version;
        FUZZ_CHECK(noRun || !options->fast || options->emulate, "--fast without --emulate");
        FUZZ_CHECK(noRun || options->journalPath.empty() || options->emulate, "--journal without --emulate");
        FUZZ_CHECK(!options->dataRoot.empty() && options->dataRoot.front() == '/',
                   "the data root is not absolute");
        for (const auto& action : options->actions) {
            FUZZ_CHECK(!action.source.empty(), "an action that came from nowhere");
            // Tab and orlaxctl's own steps (status-json) name no control.
            if (action.kind != Kind::Tab && action.kind != Kind::FrontEnd)
                FUZZ_CHECK(action.id > 0, "an action without a control");
            FUZZ_CHECK(action.step > 0, "a step without its place in the script");
        }
    }
    if (!words.empty() && words.front().starts_with("--")) return;
    headless::Script script;
    std::string actionsError;
    const bool actions = cli::ParseActions(words, script, actionsError);
    FUZZ_CHECK(actions == options.has_value(), "the actions parse otherwise than the whole line");
    if (actions)
        FUZZ_CHECK(SameScript(script, options->actions), "the actions differ from the whole line's");
    else
        FUZZ_CHECK(actionsError == error, "the message differs from the whole line's");
}

}  // namespace
}  // namespace orlax::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orlax::fuzz::CheckCommandLine({reinterpret_cast<const char*>(data), size});
    return 0;
}

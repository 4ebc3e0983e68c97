#include "util/option_table.h"

namespace orlax::util {
namespace {

// The row that `word` names, with the value after its "=" when it has one.
const Option* Find(std::span<const Option> table, std::string_view word, std::optional<std::string>& attached) {
    for (const Option& option : table) {
        if (word == option.name) return &option;
        if (option.takes != Takes::Nothing && word.size() > option.name.size() && word.starts_with(option.name) &&
            word[option.name.size()] == '=') {
            attached = std::string(word.substr(option.name.size() + 1));
            return &option;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<Parsed> ParseOptions(std::span<const std::string> args, std::span<const Option> table,
                                   const Dialect& dialect, std::string& error) {
    Parsed parsed;
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& word = args[i];
        std::optional<std::string> attached;
        const Option* option = Find(table, word, attached);
        if (!option) {
            const bool looksLikeOption = word.size() >= 2 && word.starts_with("--");
            if (dialect.endAtFirstWord && !looksLikeOption) break;
            if (!dialect.unknown) {
                parsed.handedOn.push_back(word);
                continue;
            }
            error = dialect.unknown(word);
            return std::nullopt;
        }
        const auto missing = [&](std::string_view spelled) {
            error = dialect.missingValue(spelled, option->valueIs);
            return std::nullopt;
        };
        std::string value;
        if (attached) {
            if (attached->empty()) return missing(std::string(option->name) + "=");
            value = std::move(*attached);
        } else if (option->takes == Takes::Value) {
            if (i + 1 >= args.size() || (dialect.emptyWordIsMissing && args[i + 1].empty()))
                return missing(option->name);
            value = args[++i];
        }
        if (!option->take(value, error)) return std::nullopt;
    }
    parsed.end = i;
    return parsed;
}

}  // namespace orlax::util

// The command-line helper the programs share: each program describes its
// options in a table (name, whether it takes a value, what to do with it)
// and its own wording in a Dialect; the helper walks the arguments.
//
// An option with a value takes it as "--opt VALUE" or "--opt=VALUE"; an
// option that takes an optional value takes it only as "--opt=VALUE" (the
// bare "--opt" is the option without one); an option without a value
// given as "--opt=x" is not that option, but an unknown word.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orlax::util {

enum class Takes {
    Nothing,   // --opt
    Value,     // --opt VALUE or --opt=VALUE
    Optional,  // --opt or --opt=VALUE
};

struct Option {
    std::string_view name;  // as typed: "--journal", "-h"
    Takes takes = Takes::Nothing;
    // Called with the value (empty for Takes::Nothing and for a bare
    // Takes::Optional); false with `error` set refuses the command line.
    std::function<bool(const std::string& value, std::string& error)> take;
    // What the value is, for the missing-value message.
    std::string_view valueIs = "a value";
};

// How one program words its refusals and what it does with words that are
// not its options.
struct Dialect {
    // `spelled` is "--opt" (nothing after it) or "--opt=" (nothing after the
    // "="); `valueIs` the option's own.
    std::string (*missingValue)(std::string_view spelled, std::string_view valueIs) = nullptr;
    // The message for a word that is not an option; nullptr hands such words
    // on, in order, instead (Parsed::handedOn).
    std::string (*unknown)(std::string_view word) = nullptr;
    // The options end at the first word that does not start with "--"
    // (Parsed::end): what follows is the program's own business.
    bool endAtFirstWord = false;
    // An empty word after an option that needs a value counts as missing.
    bool emptyWordIsMissing = false;
};

struct Parsed {
    std::size_t end = 0;                // where the options ended
    std::vector<std::string> handedOn;  // the words that are not ours (Dialect::unknown == nullptr)
};

// Walks `args` (without the program name) through `table`. nullopt with
// `error` set on the first refusal.
std::optional<Parsed> ParseOptions(std::span<const std::string> args, std::span<const Option> table,
                                   const Dialect& dialect, std::string& error);

}  // namespace orlax::util

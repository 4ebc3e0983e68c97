// The shared command-line helper: both forms of a value, values only for
// the options that take them, missing values, and the words that are not
// options under each program's way with them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/option_table.h"

namespace orlax::util {
namespace {

std::string Missing(std::string_view spelled, std::string_view valueIs) {
    return "missing " + std::string(spelled) + " (" + std::string(valueIs) + ")";
}
std::string Unknown(std::string_view word) { return "unknown " + std::string(word); }

enum class Way { Refuse, EndAtWord, HandOn, HandOnEmptyMissing };

Dialect DialectFor(Way way) {
    switch (way) {
    case Way::Refuse: return {.missingValue = Missing, .unknown = Unknown};
    case Way::EndAtWord: return {.missingValue = Missing, .unknown = Unknown, .endAtFirstWord = true};
    case Way::HandOn: return {.missingValue = Missing};
    case Way::HandOnEmptyMissing: return {.missingValue = Missing, .emptyWordIsMissing = true};
    }
    return {};
}

struct Case {
    Way way;
    std::vector<std::string> args;
    std::string taken;   // "name(value) " per option taken, in order
    std::string error;   // empty: accepted
    std::size_t end = 0;
    std::vector<std::string> handedOn = {};
};

TEST(OptionTable, WalksTheArgumentsAsEachProgramDoes) {
    const std::vector<Case> cases = {
        // Both forms for an option with a value; the value may start with "--" or hold "=".
        {Way::Refuse, {"--file", "a", "--file=b=c", "--file", "--x"}, "--file(a) --file(b=c) --file(--x) ", "", 5},
        {Way::Refuse, {"--flag", "--file=", "x"}, "--flag() ", "missing --file= (a file name)"},
        {Way::Refuse, {"--flag", "--file"}, "--flag() ", "missing --file (a file name)"},
        {Way::Refuse, {"--file", ""}, "--file() ", "", 2},
        {Way::HandOnEmptyMissing, {"--file", ""}, "", "missing --file (a file name)"},
        {Way::HandOnEmptyMissing, {"--file=", "x"}, "", "missing --file= (a file name)"},
        // An option without a value given one, and near misses, are not options of the table.
        {Way::Refuse, {"--flag=x"}, "", "unknown --flag=x"},
        {Way::Refuse, {"--flag", "--flags"}, "--flag() ", "unknown --flags"},
        {Way::Refuse, {"--filex=1"}, "", "unknown --filex=1"},
        {Way::Refuse, {"--flag", "word"}, "--flag() ", "unknown word"},
        {Way::HandOn, {"--flag=x", "-h", "--file", "f", "word", "--"}, "-h() --file(f) ", "", 6,
         {"--flag=x", "word", "--"}},
        // An optional value only after "=": the next word is not its value.
        {Way::Refuse, {"--unit", "--unit=s.json"}, "--unit() --unit(s.json) ", "", 2},
        {Way::HandOn, {"--unit", "s.json"}, "--unit() ", "", 2, {"s.json"}},
        {Way::Refuse, {"--unit="}, "", "missing --unit= (a value)"},
        // The options end at the first word; what is not an option before it is refused.
        {Way::EndAtWord, {"--flag", "run", "--flag"}, "--flag() ", "", 1},
        {Way::EndAtWord, {"-", "--flag"}, "", "", 0},
        {Way::EndAtWord, {"--"}, "", "unknown --"},
        {Way::EndAtWord, {"--flag", "--bogus", "run"}, "--flag() ", "unknown --bogus"},
        {Way::EndAtWord, {}, "", "", 0},
        // An option's own refusal stops the walk with its message.
        {Way::Refuse, {"--file", "bad", "--flag"}, "--file(bad) ", "bad file"},
    };
    for (const Case& c : cases) {
        std::string joined;
        for (const auto& a : c.args) joined += "'" + a + "' ";
        std::string taken;
        const auto record = [&taken](std::string_view name) {
            return [&taken, name](const std::string& value, std::string& error) {
                taken += std::string(name) + "(" + value + ") ";
                if (value == "bad") error = "bad file";
                return value != "bad";
            };
        };
        const std::vector<Option> table{
            {"--flag", Takes::Nothing, record("--flag")},
            {"-h", Takes::Nothing, record("-h")},
            {"--file", Takes::Value, record("--file"), "a file name"},
            {"--unit", Takes::Optional, record("--unit")},
        };
        std::string error;
        const auto parsed = ParseOptions(c.args, table, DialectFor(c.way), error);
        EXPECT_EQ(taken, c.taken) << joined;
        EXPECT_EQ(error, c.error) << joined;
        ASSERT_EQ(parsed.has_value(), c.error.empty()) << joined;
        if (!parsed) continue;
        EXPECT_EQ(parsed->end, c.end) << joined;
        EXPECT_EQ(parsed->handedOn, c.handedOn) << joined;
    }
}

}  // namespace
}  // namespace orlax::util

// orlaxctl's command line: options first, then the actions.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "headless/script.h"
#include "unit_platform/unit_options.h"

namespace orlax::cli {

// The action that prints the unit's status record as JSON.
inline constexpr std::string_view kStatusJson = "status-json";
// The action that sends the rows waiting for the line database.
inline constexpr std::string_view kRecordSync = "record-sync";

// The unit options (--emulate, --fast, --journal, --data-root) and orlaxctl's own.
struct Options : unit_platform::UnitChoice {
    bool finalLog = false;
    bool crlf = false;
    bool keepGoing = false;
    bool help = false;
    bool version = false;
    std::optional<std::string> recordDb;  // --record-db CONNINFO
    headless::Script actions;
};

// Parses the whole command line (without the program name). On a usage
// error returns nullopt and sets `error` to a one-line message.
std::optional<Options> ParseCommandLine(std::span<const std::string> args, std::string& error);

// Parses the actions alone.
bool ParseActions(std::span<const std::string> words, headless::Script& script, std::string& error);

const std::string& UsageText();

}  // namespace orlax::cli

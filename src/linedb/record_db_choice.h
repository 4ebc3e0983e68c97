// Which line database a program writes its records to: the connection
// string of --record-db, else of the ORLAX_RECORD_DB environment variable,
// else none (the record file alone). A connection string that carries a
// password is refused: the password belongs in ~/.pgpass or a service file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "util/option_table.h"

namespace orlax::linedb {

inline constexpr std::string_view kRecordDbOption = "--record-db";
inline constexpr std::string_view kRecordDbVariable = "ORLAX_RECORD_DB";

// Empty when `conninfo` is a connection string we take; else why not.
std::string ConninfoProblem(const std::string& conninfo);

// The connection string from the option (when given) or the environment;
// nullopt with `error` empty when there is none, with `error` set when the
// one given is refused.
std::optional<std::string> ChosenConninfo(const std::optional<std::string>& fromOption, std::string& error);

// The --record-db row of a program's option table: the connection string
// into `into`, refused as ConninfoProblem says.
util::Option RecordDbOption(std::optional<std::string>& into);

}  // namespace orlax::linedb

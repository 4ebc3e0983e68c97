// The operator log's own line for a send that did not reach the unit: what
// was sent (a command by its name, a device file by its path) and why, right
// where it failed, so that the window shows what the unit did not get.
#pragma once

#include <string>
#include <string_view>

#include "device/result.h"

namespace orlax::platform {
class Spooler;
}

namespace orlax::device {

// "Command <name> NOT SENT: <why> !!\r\n" or "File <path> NOT SENT: ...":
// `what` is "Command <name>" or "File <path>".
std::string NotSentLine(std::string_view what, const Result& failed, const platform::Spooler& spooler);

// Why, in the log's words: for a spooler's failure, its words while its last
// error is still that one, else the code's text; otherwise the failure's
// reason, or its cause.
std::string NotSentWhy(const Result& failed, const platform::Spooler& spooler);

}  // namespace orlax::device

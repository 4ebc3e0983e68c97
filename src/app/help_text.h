// The help text that the log shows when the main window opens.
#pragma once

#include <string>

namespace orlax::app {

const std::string& HelpText();

}  // namespace orlax::app

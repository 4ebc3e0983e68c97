// orlax-station's command line:
//   orlax-station [--data-root DIR] list | add NAME [URI] | check NAME
//   orlax-station --help | --version
#pragma once

#include <optional>
#include <span>
#include <string>

namespace orlax::station {

enum class Command { List, Add, Check };

struct StationOptions {
    Command command = Command::List;
    std::string name;
    std::optional<std::string> uri;
    std::string dataRoot = "/";
    bool help = false;
    bool version = false;
};

// nullopt with `error` set on a usage error.
std::optional<StationOptions> ParseStationOptions(std::span<const std::string> args, std::string& error);

const char* StationUsageText();

}  // namespace orlax::station

// The default scenario and reading a scenario file.
#include "emulator/scenario.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orlax::emulator {

namespace f = protocol::field;

Record DefaultRecord() {
    Record record{};
    record[f::penConfig] = 3;
    record[f::lexVersion] = 99;
    constexpr std::string_view firmware = "1.23";
    for (std::size_t i = 0; i < firmware.size(); ++i)
        record[f::firmwareVersion + i] = static_cast<std::uint8_t>(firmware[i]);
    record[f::modelType] = 'B';
    record[f::systemStatus] = protocol::kStatusIdle;
    record[f::trayStatus] = protocol::kTrayInNoDisc;
    record[f::pickerStatus] = protocol::kNoDiscInPicker;
    record[f::checksum] = protocol::StatusChecksum(record);
    return record;
}

Scenario DefaultScenario() { return Scenario{}; }

bool LoadScenarioFile(const std::string& path, Scenario& out, std::string& error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = path + ": cannot read the scenario file (it is a directory)";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot open the scenario file (" + std::strerror(errno) + ")";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad()) {
        error = path + ": cannot read the scenario file";
        return false;
    }
    if (!ParseScenario(text.str(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

}  // namespace orlax::emulator

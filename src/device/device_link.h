// The link to the unit: status query, command packets and device files, all
// through the print spooler on the queue named by PrinterName.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "device/device_state.h"

namespace orlax::platform {
class Spooler;
class Clock;
class DialogHost;
}  // namespace orlax::platform

namespace orlax::app {
class OperatorLog;
class Outcome;
}  // namespace orlax::app

namespace orlax::device {

inline constexpr std::string_view kStatusValueName = "KORVANE";
inline constexpr std::uint32_t kStatusTimeBudgetMs = 2000;

struct LinkPorts {
    platform::Spooler& spooler;
    platform::Clock& clock;
    platform::DialogHost& host;  // message boxes
};

class DeviceLink {
public:
    DeviceLink(LinkPorts ports, app::OperatorLog& log, DeviceState& state,
               const std::string& printerName, std::string deviceDataFolder, app::Outcome& outcome)
        : ports_(ports),
          log_(log),
          state_(state),
          printerName_(printerName),
          deviceDataFolder_(std::move(deviceDataFolder)),
          outcome_(outcome) {}

    // One status query: request, reply, checks, retries within 2000 ms.
    // 1 on success (buffer, mirror and flags refreshed), 0 on failure.
    int GetDeviceStatus();

    DeviceState& State() { return state_; }
    app::OperatorLog& Log() { return log_; }
    platform::Clock& Clock() { return ports_.clock; }
    platform::Spooler& Spooler() { return ports_.spooler; }
    platform::DialogHost& Host() { return ports_.host; }
    const std::string& PrinterName() const { return printerName_; }
    // The folder of the device files and the production record, with a
    // trailing slash.
    const std::string& DeviceDataFolder() const { return deviceDataFolder_; }
    app::Outcome& Outcome() { return outcome_; }

private:
    void DumpReply();
    void FailureTail(bool readFailed, std::uint32_t lastError);
    void FillMirror();

    LinkPorts ports_;
    app::OperatorLog& log_;
    DeviceState& state_;
    const std::string& printerName_;
    std::string deviceDataFolder_;
    app::Outcome& outcome_;
};

}  // namespace orlax::device

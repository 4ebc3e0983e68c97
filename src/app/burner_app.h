// The application object: owns the state that the whole tool shares and
// runs the main window modally.
#pragma once

#include <string>

#include "device/device_link.h"
#include "device/device_state.h"
#include "operations/final_check.h"
#include "operations/operator_log.h"
#include "operations/outcome.h"
#include "report/production_record.h"

namespace orlax::platform {
class Spooler;
class Clock;
class DialogHost;
class Progress;
}  // namespace orlax::platform

namespace orlax::app {

struct PlatformPorts {
    platform::Spooler& spooler;
    platform::Clock& clock;
    platform::DialogHost& host;
    platform::Progress* progress = nullptr;
};

struct AppConfig {
    std::string dataRoot = "/";  // DeviceDataFolder is <dataRoot>/Korvane/ORLAXPRO/
};

// <dataRoot>/Korvane/ORLAXPRO/, with exactly one slash between the parts.
std::string DeviceDataFolderFor(const std::string& dataRoot);

class CBurnerApp {
public:
    CBurnerApp(PlatformPorts ports, const AppConfig& config);
    CBurnerApp(const CBurnerApp&) = delete;
    CBurnerApp& operator=(const CBurnerApp&) = delete;

    // Runs the main window modally; false when it ends, so the program ends.
    bool InitInstance();

    platform::DialogHost& Host() { return ports_.host; }
    platform::Spooler& Spooler() { return ports_.spooler; }
    platform::Clock& Clock() { return ports_.clock; }
    platform::Progress* Progress() { return ports_.progress; }
    operations::OperatorLog& Log() { return log_; }
    device::DeviceState& Device() { return device_; }
    device::DeviceLink& Link() { return link_; }
    std::string& PrinterName() { return printerName_; }
    operations::Outcome& Outcome() { return outcome_; }
    report::ProductionRecord& ProductionRecord() { return productionRecord_; }
    const operations::ToleranceLimits& ToleranceLimits() const { return toleranceLimits_; }

private:
    PlatformPorts ports_;
    operations::OperatorLog log_;
    device::DeviceState device_;
    std::string printerName_;
    operations::Outcome outcome_;
    device::DeviceLink link_;
    report::ProductionRecord productionRecord_;
    operations::ToleranceLimits toleranceLimits_;
};

}  // namespace orlax::app

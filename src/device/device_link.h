// The link to the unit: status query, command packets and device files, all
// through the print spooler on the queue named by PrinterName.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "protocol/command_packet.h"
#include "protocol/wire.h"
#include "device/device_state.h"
#include "device/log_port.h"
#include "device/result.h"

namespace orlax::platform {
class Spooler;
class Clock;
class DialogHost;
class Progress;
}  // namespace orlax::platform

namespace orlax::device {

inline constexpr std::uint32_t kStatusTimeBudgetMs = protocol::kStatusQueryBudgetMs;
// The busy wait before a command: a status read every 300 ms until the unit
// is no longer busy; a minute after the first read, counted on the clock
// however long each read took, the command is given up.
inline constexpr std::uint32_t kBusyPollMs = 300;
inline constexpr std::uint32_t kBusyWaitMs = 60000;
// Position offsets travel under an index 0 to 8, record byte 69 + index.
inline constexpr std::size_t kPositionOffsetCount = 9;

struct LinkPorts {
    platform::Spooler& spooler;
    platform::Clock& clock;
    platform::DialogHost& host;  // message boxes
    platform::Progress* progress = nullptr;  // how far a device file or a wait has gone, when shown
};

class DeviceLink {
public:
    DeviceLink(LinkPorts ports, LogPort& log, DeviceState& state, const std::string& printerName,
               std::string deviceDataFolder)
        : ports_(ports),
          log_(log),
          state_(state),
          printerName_(printerName),
          deviceDataFolder_(std::move(deviceDataFolder)) {}

    // One status query: request, reply, checks, retries within 2000 ms. On
    // success the buffer, the mirror and the flags are refreshed; on failure
    // the log has the query's own words.
    Result GetDeviceStatus();

    // Writes `bytes` to the queue as one RAW job: done when every step
    // succeeded and the spooler took every byte. Writes nothing to the log.
    Result WriteRawJob(std::span<const std::uint8_t> bytes);
    // Waits while the unit is busy, fills in byte 7 and sends the packet. A
    // command that did not go out has its line in the log.
    Result SendCommand(protocol::CommandPacket& packet);
    Result SendCommand(protocol::CommandCode code, std::uint8_t arg1 = 0, std::uint8_t arg2 = 0);
    // 1B 04 08 index value: the mirror field of that index; a failure for
    // an index without a field.
    Result SetPositionOffset(int index);
    // 1B 04 03 verticalOffset horizontalOffset.
    Result SetImageOffset();
    // 1B 04 09.
    Result PrepareMove();

    // Sends DeviceDataFolder + `name` as one RAW job, in 1000-byte blocks. A
    // file that did not go out has its line in the log.
    Result SendDeviceFile(std::string_view name);

    DeviceState& State() { return state_; }
    LogPort& Log() { return log_; }
    platform::Clock& Clock() { return ports_.clock; }
    platform::Spooler& Spooler() { return ports_.spooler; }
    platform::DialogHost& Host() { return ports_.host; }
    const std::string& PrinterName() const { return printerName_; }
    // The folder of the device files and the production record, with a
    // trailing slash.
    const std::string& DeviceDataFolder() const { return deviceDataFolder_; }

private:
    // Reads the status until the unit is no longer busy, within the bound.
    Result WaitWhileBusy();
    void DumpReply();
    void FailureTail(bool readFailed, std::uint32_t lastError);
    void FillMirror();
    void TellUnitInUse(const std::string& why);
    // The line of a command or file (`what`) that did not go out.
    void TellNotSent(const std::string& what, const Result& failed);
    // The transfer of SendDeviceFile, without its lines before and after.
    Result StreamDeviceFile(const std::string& path);

    LinkPorts ports_;
    LogPort& log_;
    DeviceState& state_;
    const std::string& printerName_;
    std::string deviceDataFolder_;
};

}  // namespace orlax::device

// Sending commands: a RAW job per packet, after waiting while the unit
// reports itself busy.
#include <array>

#include "app/operator_log.h"
#include "app/outcome.h"
#include "device/device_link.h"
#include "device/raw_job.h"
#include "platform/clock.h"

namespace orlax::device {
namespace {

// The mirror field that each position offset index sends.
using MirrorField = std::int32_t DeviceMirror::*;
constexpr std::array<MirrorField, kPositionOffsetCount> kPositionOffsetFields{
    &DeviceMirror::leftBin, &DeviceMirror::recorder,     &DeviceMirror::recorder2,
    &DeviceMirror::printer, &DeviceMirror::rightBin,     &DeviceMirror::hook,
    &DeviceMirror::trayOut, &DeviceMirror::pickerSwitch, &DeviceMirror::armHome,
};

constexpr std::string_view kCommandNotSent = "a command could not be sent to the unit";
constexpr std::string_view kNoStatus = "no valid status came back from the unit, so a command was not sent";

}  // namespace

int DeviceLink::WriteRawJob(std::span<const std::uint8_t> bytes) {
    RawJob job(ports_.spooler, printerName_);
    if (!job.Open() || !job.StartDoc() || !job.StartPage()) return JobFailed(kCommandNotSent);
    std::uint32_t written = 0;
    if (!job.Write(bytes, &written) || !job.EndPage() || !job.EndDoc()) return JobFailed(kCommandNotSent);
    job.Close();
    return written == bytes.size() ? 1 : JobFailed(kCommandNotSent);
}

int DeviceLink::JobFailed(std::string_view cause) {
    outcome_.Failed(cause);
    return 0;
}

int DeviceLink::SendCommand(CommandPacket& packet) {
    state_.deviceBusy = true;
    if (!GetDeviceStatus()) return JobFailed(kNoStatus);
    for (int polls = 0; state_.deviceBusy; ++polls) {
        if (polls == kMaxBusyPolls) {
            log_.AppendLog("Printer busy too long !!\r\n");
            return JobFailed("the unit stayed busy, so a command was not sent");
        }
        ports_.clock.Sleep(kBusyPollMs);
        if (!GetDeviceStatus()) return JobFailed(kNoStatus);
    }
    packet[7] = CommandChecksum(packet);
    return WriteRawJob(packet);
}

int DeviceLink::SendCommand(CommandCode code, std::uint8_t arg1, std::uint8_t arg2) {
    CommandPacket packet = MakeCommand(code, arg1, arg2);
    return SendCommand(packet);
}

int DeviceLink::SetPositionOffset(int index) {
    const auto slot = static_cast<std::int8_t>(index);  // the low 8 bits, signed
    if (slot < 0 || slot >= static_cast<int>(kPositionOffsetCount)) return 0;
    const std::int32_t value = state_.mirror.*kPositionOffsetFields[static_cast<std::size_t>(slot)];
    SendCommand(CommandCode::SetPositionOffset, static_cast<std::uint8_t>(slot), LowByte(value));
    return 1;
}

int DeviceLink::SetImageOffset() {
    SendCommand(CommandCode::SetImageOffset, LowByte(state_.mirror.verticalOffset),
                LowByte(state_.mirror.horizontalOffset));
    return 1;
}

int DeviceLink::PrepareMove() {
    SendCommand(CommandCode::PrepareMove);
    return 1;
}

}  // namespace orlax::device

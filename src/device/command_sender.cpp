// Sending commands: a RAW job per packet, after waiting while the unit
// reports itself busy.
#include <array>

#include "device/device_link.h"
#include "device/raw_job.h"
#include "platform/clock.h"
#include "platform/progress.h"

namespace orlax::device {
namespace {

using protocol::CommandChecksum;
using protocol::CommandCode;
using protocol::CommandPacket;
using protocol::LowByte;
using protocol::MakeCommand;

// The mirror field that each position offset index sends.
using MirrorField = std::int32_t DeviceMirror::*;
constexpr std::array<MirrorField, kPositionOffsetCount> kPositionOffsetFields{
    &DeviceMirror::leftBin, &DeviceMirror::recorder,     &DeviceMirror::recorder2,
    &DeviceMirror::printer, &DeviceMirror::rightBin,     &DeviceMirror::hook,
    &DeviceMirror::trayOut, &DeviceMirror::pickerSwitch, &DeviceMirror::armHome,
};

}  // namespace

Result DeviceLink::WriteRawJob(std::span<const std::uint8_t> bytes) {
    RawJob job(ports_.spooler, printerName_);
    std::uint32_t written = 0;
    if (!job.Open() || !job.StartDoc() || !job.StartPage() || !job.Write(bytes, &written) || !job.EndPage() ||
        !job.EndDoc())
        return Result::Failed(cause::kCommandNotSent);
    job.Close();
    return written == bytes.size() ? Result::Done() : Result::Failed(cause::kCommandNotSent);
}

// A status read, then another every 300 ms while the unit reports itself
// busy, until kBusyWaitMs have passed since the first; each pause is told to
// the progress port as a poll of the wait.
Result DeviceLink::WaitWhileBusy() {
    state_.deviceBusy = true;
    const std::uint32_t start = ports_.clock.GetTickCount();
    if (!GetDeviceStatus()) return Result::Failed(cause::kNoStatusForCommand);
    platform::UnitWaitProgress wait(ports_.progress);
    while (state_.deviceBusy) {
        if (static_cast<std::uint32_t>(ports_.clock.GetTickCount() - start) >= kBusyWaitMs) {
            log_.AppendLog("Printer busy too long !!\r\n");
            return Result::Failed(cause::kStayedBusy);
        }
        wait.Poll();
        ports_.clock.Sleep(kBusyPollMs);
        if (!GetDeviceStatus()) return Result::Failed(cause::kNoStatusForCommand);
    }
    return Result::Done();
}

Result DeviceLink::SendCommand(CommandPacket& packet) {
    if (const Result ready = WaitWhileBusy(); !ready) return ready;
    packet[7] = CommandChecksum(packet);
    return WriteRawJob(packet);
}

Result DeviceLink::SendCommand(CommandCode code, std::uint8_t arg1, std::uint8_t arg2) {
    CommandPacket packet = MakeCommand(code, arg1, arg2);
    return SendCommand(packet);
}

Result DeviceLink::SetPositionOffset(int index) {
    const auto slot = static_cast<std::int8_t>(index);  // the low 8 bits, signed
    if (slot < 0 || slot >= static_cast<int>(kPositionOffsetCount)) return Result::Failed(cause::kNoSuchOffset);
    const std::int32_t value = state_.mirror.*kPositionOffsetFields[static_cast<std::size_t>(slot)];
    return SendCommand(CommandCode::SetPositionOffset, static_cast<std::uint8_t>(slot), LowByte(value));
}

Result DeviceLink::SetImageOffset() {
    return SendCommand(CommandCode::SetImageOffset, LowByte(state_.mirror.verticalOffset),
                       LowByte(state_.mirror.horizontalOffset));
}

Result DeviceLink::PrepareMove() { return SendCommand(CommandCode::PrepareMove); }

}  // namespace orlax::device

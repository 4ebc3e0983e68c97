// Sending commands: a RAW job per packet, after waiting while the unit
// reports itself busy.
#include <array>
#include <string>

#include "device/device_link.h"
#include "device/not_sent.h"
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

// A queue that could not be opened names the spooler's reason (another run
// holding the unit, say); any other failed read, the status.
Result NoStatusForCommand(const Result& read) {
    return read.SpoolerError() != 0 ? Result::Failed(cause::kNoStatusForCommand, read.SpoolerError())
                                    : Result::Failed(cause::kNoStatusForCommand, reason::kNoStatus);
}

}  // namespace

Result DeviceLink::WriteRawJob(std::span<const std::uint8_t> bytes) {
    RawJob job(ports_.spooler, printerName_);
    std::uint32_t written = 0;
    if (!job.Open() || !job.StartDoc() || !job.StartPage() || !job.Write(bytes, &written) || !job.EndPage() ||
        !job.EndDoc())
        return Result::Failed(cause::kCommandNotSent, job.Error());
    job.Close();
    return written == bytes.size() ? Result::Done() : Result::Failed(cause::kCommandNotSent, reason::kShortWrite);
}

// A status read, then another every 300 ms while the unit reports itself
// busy, until kBusyWaitMs have passed since the first; each pause is told to
// the progress port as a poll of the wait.
Result DeviceLink::WaitWhileBusy() {
    state_.deviceBusy = true;
    const std::uint32_t start = ports_.clock.GetTickCount();
    if (const Result read = GetDeviceStatus(); !read) return NoStatusForCommand(read);
    platform::UnitWaitProgress wait(ports_.progress);
    while (state_.deviceBusy) {
        if (static_cast<std::uint32_t>(ports_.clock.GetTickCount() - start) >= kBusyWaitMs) {
            log_.AppendLog("Printer busy too long !!\r\n");
            return Result::Failed(cause::kStayedBusy, reason::kStayedBusy);
        }
        wait.Poll();
        ports_.clock.Sleep(kBusyPollMs);
        if (const Result read = GetDeviceStatus(); !read) return NoStatusForCommand(read);
    }
    return Result::Done();
}

// A command that did not reach the unit has its own line in the log, after
// whatever the failed step wrote.
Result DeviceLink::SendCommand(CommandPacket& packet) {
    Result sent = WaitWhileBusy();
    if (sent) {
        packet[7] = CommandChecksum(packet);
        sent = WriteRawJob(packet);
    }
    if (!sent) TellNotSent("Command " + std::string(protocol::CommandName(packet[2])), sent);
    return sent;
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

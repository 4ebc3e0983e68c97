// The status query: one request written under "KORVANE", the reply read
// back, its length and checksum checked, retried for up to 2000 ms.
#include <algorithm>
#include <cstdio>

#include "device/device_link.h"
#include "platform/clock.h"
#include "platform/spooler.h"
#include "platform/spooler_errors.h"

namespace orlax::device {
namespace {

namespace field = protocol::field;
using protocol::kStatusBusy;
using protocol::kStatusRecordSize;
using protocol::kStatusValueName;
using protocol::kTrayInNoDisc;
using protocol::kTrayInWithDisc;
using protocol::SignedByte;
using protocol::StatusChecksum;

constexpr std::size_t kDumpPiece = 24;

}  // namespace

Result DeviceLink::GetDeviceStatus() {
    auto& spooler = ports_.spooler;
    platform::PrinterHandle handle = 0;
    const platform::PrinterDefaults defaults{platform::kPrinterAllAccess};
    if (!spooler.OpenPrinter(printerName_, &handle, &defaults)) {
        log_.AppendLog("Printer Open Error !!\r\n");
        const std::uint32_t error = spooler.GetLastError();
        if (error == platform::kErrorUnitInUse) TellUnitInUse(spooler.LastErrorText());
        return Result::Failed(cause::kNoStatus, error);
    }

    const std::uint32_t start = ports_.clock.GetTickCount();
    bool readFailed = false;
    std::uint32_t lastError = 0;
    const std::uint8_t request[1] = {0};

    while (static_cast<std::uint32_t>(ports_.clock.GetTickCount() - start) <= kStatusTimeBudgetMs) {
        spooler.SetPrinterData(handle, kStatusValueName, platform::kRegBinary, request);
        std::uint32_t type = 0;
        if (spooler.GetPrinterData(handle, kStatusValueName, &type, state_.statusBuffer,
                                   &state_.statusLength) != 0) {
            readFailed = true;
            lastError = spooler.GetLastError();
            log_.AppendLog(".");
            continue;
        }
        if (state_.statusLength <= 1) continue;
        if (state_.statusLength == kStatusRecordSize) {
            if (StatusChecksum(state_.Record()) == state_.statusBuffer[field::checksum]) {
                FillMirror();
                spooler.ClosePrinter(handle);
                return Result::Done();
            }
            log_.AppendLog("ERROR: Message Checksum is incorrect\r\n");
        }
        DumpReply();
        break;
    }

    FailureTail(readFailed, lastError);
    spooler.ClosePrinter(handle);
    return Result::Failed(cause::kNoStatus);
}

// "\r\n", the received bytes in pieces of 24, then " $". A reply can never
// be dumped from beyond the buffer, whatever count the spooler reported.
void DeviceLink::DumpReply() {
    log_.AppendLog("\r\n");
    const std::size_t count = std::min<std::size_t>(state_.statusLength, state_.statusBuffer.size());
    const std::span<const std::uint8_t> received(state_.statusBuffer.data(), count);
    for (std::size_t at = 0; at < count; at += kDumpPiece)
        log_.LogHex(received.subspan(at, std::min(kDumpPiece, count - at)));
    log_.AppendLog(" $");
}

void DeviceLink::FailureTail(bool readFailed, std::uint32_t lastError) {
    log_.AppendLog("No Status Data Returned\r\n");
    char line[64];
    if (state_.statusLength > 1) {
        std::snprintf(line, sizeof line, "\r\nLength Received: \t%.2u\r\n", state_.statusLength);
        log_.AppendLog(line);
    }
    if (readFailed) {
        std::snprintf(line, sizeof line, "Read failed: GetLastError returned %u\r\n", lastError);
        log_.AppendLog(line);
    }
    log_.AppendLog("\r\n");
}

void DeviceLink::FillMirror() {
    const auto record = std::span<const std::uint8_t>(state_.Record());
    auto& m = state_.mirror;
    m.verticalOffset = SignedByte(record, field::imageVertical);
    m.horizontalOffset = SignedByte(record, field::imageHorizontal);
    m.leftBin = SignedByte(record, field::leftBinOffset);
    m.recorder = SignedByte(record, field::recorderOffset);
    m.recorder2 = SignedByte(record, field::recorder2Offset);
    m.printer = SignedByte(record, field::printerOffset);
    m.rightBin = SignedByte(record, field::rightBinOffset);
    m.hook = SignedByte(record, field::hookOffset);
    m.trayOut = SignedByte(record, field::trayOutOffset);
    m.pickerSwitch = record[field::pickerSwitchOffset];
    m.armHome = SignedByte(record, field::armHomeOffset);
    m.lexVersion = SignedByte(record, field::lexVersion);
    state_.deviceBusy = record[field::systemStatus] == kStatusBusy;
    const std::uint8_t tray = record[field::trayStatus];
    state_.trayIn = tray == kTrayInWithDisc || tray == kTrayInNoDisc;
}

}  // namespace orlax::device

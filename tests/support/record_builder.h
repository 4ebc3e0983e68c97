// Builds status records for tests: the reference unit's record, and setters
// by field.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "device/device_state.h"
#include "protocol/status_record.h"

namespace orlax::testing {

using RecordBytes = std::array<std::uint8_t, protocol::kStatusRecordSize>;

inline void PutU32(RecordBytes& r, std::size_t at, std::uint32_t v) {
    r[at] = static_cast<std::uint8_t>(v >> 24);
    r[at + 1] = static_cast<std::uint8_t>(v >> 16);
    r[at + 2] = static_cast<std::uint8_t>(v >> 8);
    r[at + 3] = static_cast<std::uint8_t>(v);
}

inline void PutFirmware(RecordBytes& r, std::string_view text) {
    for (std::size_t i = 0; i < protocol::field::firmwareVersionLength; ++i)
        r[protocol::field::firmwareVersion + i] =
            i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0;
}

inline void Seal(RecordBytes& r) { r[protocol::field::checksum] = protocol::StatusChecksum(r); }

// The status record of the reference unit, whose report, production record
// line and final check the tests know to the character.
inline RecordBytes ReferenceRecord() {
    namespace f = protocol::field;
    RecordBytes r{};
    PutFirmware(r, "1.23");
    r[f::lexVersion] = 99;
    r[f::pgaVersion] = 0x12;
    r[f::modelType] = 'B';
    r[f::penConfig] = 3;
    r[f::spitLimitFlags] = 1;
    PutU32(r, f::yellowSpitsA, 1520);
    PutU32(r, f::yellowSpitsB, 310);
    PutU32(r, f::magentaSpitsA, 1484);
    PutU32(r, f::magentaSpitsB, 295);
    PutU32(r, f::cyanSpitsA, 1610);
    PutU32(r, f::cyanSpitsB, 301);
    PutU32(r, f::disksPrinted, 1234);
    PutU32(r, f::disksPicked, 1240);
    r[f::leftBinCount] = 25;
    r[f::rightBinCount] = 12;
    r[f::lastCommand] = 0x04;
    r[f::systemStatus] = 'I';
    r[f::trayStatus] = 'I';
    r[f::pickerStatus] = 'X';
    r[f::trayInSensorLow] = 12;
    r[f::trayInSensorHigh] = 200;
    r[f::diskInSensorLow] = 15;
    r[f::diskInSensorHigh] = 180;
    const auto s8 = [](int v) { return static_cast<std::uint8_t>(v); };
    r[f::imageVertical] = s8(-3);
    r[f::imageHorizontal] = s8(4);
    r[f::leftBinOffset] = s8(2);
    r[f::recorderOffset] = s8(-1);
    r[f::recorder2Offset] = s8(0);
    r[f::printerOffset] = s8(5);
    r[f::rightBinOffset] = s8(2);
    r[f::hookOffset] = s8(-4);
    r[f::trayOutOffset] = s8(6);
    r[f::pickerSwitchOffset] = s8(10);
    r[f::armHomeOffset] = s8(-7);
    r[f::lastDiskLeft] = s8(3);
    r[f::lastDiskRight] = s8(-2);
    Seal(r);
    return r;
}

// The reference unit's status report, 818 characters.
inline constexpr std::string_view kReferenceReport =
    "ORLAX PRO FIRMWARE VERSION #: 1.23                   LEX:   99\r\n"
    "\tPGA: 12   MODEL: B   CDR drive.\r\n"
    "\t\tLEFT PEN: BLACK\tRIGHT PEN: Color\r\n"
    "SPIT LIMIT ISSUED:\t\tYES\t\tNO\r\n"
    "YELLOW SPITS : \t\t000000001520\t000000000310 \r\n"
    "MAGENTA SPITS : \t\t000000001484\t000000000295 \r\n"
    "CYAN SPITS : \t\t000000001610\t000000000301 \r\n"
    "# OF DISKS PRINTED : \t\t00001234 \r\n"
    "# OF DISKS PICKED FROM BIN:\t00001240 \r\n"
    "# OF DISKS IN LEFT BIN:\t  25 \tRIGHT BIN:\t 12\r\n"
    "Vertical Offset:       -03 \tHorizontal Offset:        04     LAST COMMAND REQUEST:   04 \r\n"
    "System Error Bits:   00   SYSTEM STATUS: I   IDLE.\r\n"
    "PRINTER TRAY IN NO DISK.    NO DISK IN PICKER.\r\n"
    "OFFSETS; Left Bin:\t 02    Recorder:\t-01    Recorder2:\t 00      Printer:\t 05\r\n"
    "\t  Right Bin:\t 02   Hook:\t\t-04    Tray Out:\t 06     Picker Switch:\t 10\r\n"
    "\t  Arm Home:\t-07    Last Disk Left:\t 03\tLast Disk Right:\t-02 \r\n";

// The scenario file contract's example, which describes the same unit.
inline constexpr const char* kContractExampleScenario = R"({
  "queues": ["Lumetra PRO"],
  "record": {
    "firmwareVersion": "1.23", "lexVersion": 99, "pgaVersion": 18,
    "modelType": "B", "penConfig": 3, "spitLimitFlags": 1,
    "yellowSpitsA": 1520, "yellowSpitsB": 310, "magentaSpitsA": 1484,
    "magentaSpitsB": 295, "cyanSpitsA": 1610, "cyanSpitsB": 301,
    "trayInSensorLow": 12, "trayInSensorHigh": 200,
    "diskInSensorLow": 15, "diskInSensorHigh": 180,
    "disksPrinted": 1234, "disksPicked": 1240,
    "rightBinCount": 12, "leftBinCount": 25,
    "imageVertical": -3, "imageHorizontal": 4,
    "lastCommand": 4, "errorBits": 0,
    "systemStatus": "I", "trayStatus": "I", "pickerStatus": "X",
    "leftBinOffset": 2, "recorderOffset": -1, "recorder2Offset": 0,
    "printerOffset": 5, "rightBinOffset": 2, "hookOffset": -4,
    "trayOutOffset": 6, "pickerSwitchOffset": 10, "armHomeOffset": -7,
    "lastDiskRight": -2, "lastDiskLeft": 3
  },
  "recordHex": "",
  "busyPolls": 0,
  "replies": [],
  "faults": {}
})";

// A device state as a successful query leaves it for `record`.
inline device::DeviceState StateAfterQuery(const RecordBytes& record) {
    namespace f = protocol::field;
    device::DeviceState state;
    std::copy(record.begin(), record.end(), state.statusBuffer.begin());
    state.statusLength = protocol::kStatusRecordSize;
    auto& m = state.mirror;
    const auto s = [&](std::size_t at) { return protocol::SignedByte(record, at); };
    m.verticalOffset = s(f::imageVertical);
    m.horizontalOffset = s(f::imageHorizontal);
    m.leftBin = s(f::leftBinOffset);
    m.recorder = s(f::recorderOffset);
    m.recorder2 = s(f::recorder2Offset);
    m.printer = s(f::printerOffset);
    m.rightBin = s(f::rightBinOffset);
    m.hook = s(f::hookOffset);
    m.trayOut = s(f::trayOutOffset);
    m.pickerSwitch = record[f::pickerSwitchOffset];
    m.armHome = s(f::armHomeOffset);
    m.lexVersion = s(f::lexVersion);
    return state;
}

}  // namespace orlax::testing

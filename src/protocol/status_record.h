// The unit's 100-byte status record: field positions, the checksum and the
// big-endian counter read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace orlax::protocol {

inline constexpr std::size_t kStatusRecordSize = 100;

// Byte positions of the record's fields.
namespace field {
inline constexpr std::size_t penConfig = 3;
inline constexpr std::size_t spitLimitFlags = 4;
inline constexpr std::size_t yellowSpitsB = 5;
inline constexpr std::size_t magentaSpitsB = 9;
inline constexpr std::size_t cyanSpitsB = 13;
inline constexpr std::size_t yellowSpitsA = 17;
inline constexpr std::size_t magentaSpitsA = 21;
inline constexpr std::size_t cyanSpitsA = 25;
inline constexpr std::size_t trayInSensorLow = 29;
inline constexpr std::size_t trayInSensorHigh = 30;
inline constexpr std::size_t diskInSensorLow = 31;
inline constexpr std::size_t diskInSensorHigh = 32;
inline constexpr std::size_t disksPrinted = 33;
inline constexpr std::size_t disksPicked = 37;
inline constexpr std::size_t rightBinCount = 41;
inline constexpr std::size_t leftBinCount = 42;
inline constexpr std::size_t imageVertical = 43;
inline constexpr std::size_t imageHorizontal = 44;
inline constexpr std::size_t lexVersion = 45;
inline constexpr std::size_t pgaVersion = 46;
inline constexpr std::size_t firmwareVersion = 47;
inline constexpr std::size_t firmwareVersionLength = 15;
inline constexpr std::size_t modelType = 62;
inline constexpr std::size_t lastCommand = 63;
inline constexpr std::size_t errorBits = 64;
inline constexpr std::size_t systemStatus = 65;
inline constexpr std::size_t trayStatus = 66;
inline constexpr std::size_t pickerStatus = 67;
inline constexpr std::size_t leftBinOffset = 69;  // position offset index 0
inline constexpr std::size_t recorderOffset = 70;
inline constexpr std::size_t recorder2Offset = 71;
inline constexpr std::size_t printerOffset = 72;
inline constexpr std::size_t rightBinOffset = 73;
inline constexpr std::size_t hookOffset = 74;
inline constexpr std::size_t trayOutOffset = 75;
inline constexpr std::size_t pickerSwitchOffset = 76;
inline constexpr std::size_t armHomeOffset = 77;
inline constexpr std::size_t lastDiskRight = 78;
inline constexpr std::size_t lastDiskLeft = 79;
inline constexpr std::size_t checksum = 98;
}  // namespace field

// Status codes of the record.
inline constexpr std::uint8_t kStatusBusy = 'B';
inline constexpr std::uint8_t kStatusCoverOpen = 'C';
inline constexpr std::uint8_t kStatusIdle = 'I';
inline constexpr std::uint8_t kTrayInWithDisc = 'D';
inline constexpr std::uint8_t kTrayInNoDisc = 'I';
inline constexpr std::uint8_t kTrayOut = 'O';
inline constexpr std::uint8_t kDiscInPicker = 'O';
inline constexpr std::uint8_t kNoDiscInPicker = 'X';

// The unsigned value of four bytes, the first the most significant.
std::uint32_t ReadBigEndian32(std::span<const std::uint8_t, 4> bytes);
std::uint32_t ReadBigEndian32(std::span<const std::uint8_t> record, std::size_t at);

// The low 8 bits of the sum of bytes 1 to 97 of a 100-byte record.
std::uint8_t StatusChecksum(std::span<const std::uint8_t, kStatusRecordSize> record);

// A signed byte of the record, sign-extended.
inline std::int32_t SignedByte(std::span<const std::uint8_t> record, std::size_t at) {
    return static_cast<std::int8_t>(record[at]);
}

// The firmware text: at most 15 characters, ending early at a zero byte.
std::string_view FirmwareText(std::span<const std::uint8_t> record);

}  // namespace orlax::protocol

// What the emulated unit does with each command code: a table of handlers,
// one per code it knows.
#pragma once

#include <array>
#include <cstdint>

#include "emulator/scenario.h"

namespace orlax::emulator {

inline constexpr std::size_t kPositionOffsets = 9;  // record bytes 69..77
using PositionOffsets = std::array<std::uint8_t, kPositionOffsets>;

// What a handler works on: the unit's record and the offsets it left the
// factory with (RestoreFactory goes back to them).
struct CommandContext {
    Record& record;
    const PositionOffsets& factoryOffsets;
};

enum class CommandResult {
    Done,         // obeyed
    BadArgument,  // refused: an argument out of range; nothing changed
};

using CommandHandler = CommandResult (*)(CommandContext& unit, std::uint8_t arg1,
                                         std::uint8_t arg2);

// The handler for `code`, or nullptr for a code the unit does not know.
CommandHandler FindCommandHandler(std::uint8_t code);

// errorBits (record byte 64): what went wrong with a received command. The
// bits stay set until the scenario starts again.
namespace error_bit {
inline constexpr std::uint8_t badChecksum = 0x01;  // packet checksum wrong: packet ignored
inline constexpr std::uint8_t unknownCode = 0x02;  // command code unknown: packet ignored
inline constexpr std::uint8_t badArgument = 0x04;  // argument out of range: packet ignored
inline constexpr std::uint8_t binsEmpty = 0x08;    // Pick with both bins empty: nothing picked
}  // namespace error_bit

// The calibrated last-disc offsets that CalibrateLastDisk sets (bytes 78, 79).
inline constexpr std::uint8_t kCalibratedLastDiskRight = 0;
inline constexpr std::uint8_t kCalibratedLastDiskLeft = 0;

}  // namespace orlax::emulator

// The 8-byte packet of the wire: 1B 04 code arg arg 00 00 checksum, the
// catalogue of the command codes the tool sends, and the network link's
// status request, which is the same packet with code 00.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace orlax::protocol {

inline constexpr std::size_t kCommandPacketSize = 8;
using CommandPacket = std::array<std::uint8_t, kCommandPacketSize>;

enum class CommandCode : std::uint8_t {
    ClearSpits = 0x02,
    SetImageOffset = 0x03,
    FinalCheckFailed = 0x05,
    SetPositionOffset = 0x08,
    PrepareMove = 0x09,
    CalibrateLastDisk = 0x0A,
    RestoreFactory = 0x0B,
    OffsetsSetup = 0x13,
    FinalCheckStart = 0x17,
    MoveLeftBin = 0x8D,
    MovePrinter = 0x8E,
    MoveRecorderUpper = 0x8F,
    MoveRightBin = 0x90,
    Pick = 0x92,
    PrinterMoveStart = 0x93,
    RecorderMoveStart = 0x94,
    MoveHook = 0x96,
    HookMoveFinish = 0x97,
    TestBins = 0x99,
    MoveFinish = 0x9B,
    FinalCheckPassed = 0x9C,
    MoveRecorderLower = 0xA3,
};

struct CommandInfo {
    CommandCode code;
    std::string_view name;
};

// Every command the tool sends, in code order.
std::span<const CommandInfo> CommandCatalogue();
// The catalogue's name of `code`, or an empty text for an unknown code.
std::string_view CommandName(std::uint8_t code);

// A packet with byte 7 still 0: SendCommand fills in the checksum.
constexpr CommandPacket MakeCommand(CommandCode code, std::uint8_t arg1 = 0, std::uint8_t arg2 = 0) {
    return {0x1B, 0x04, static_cast<std::uint8_t>(code), arg1, arg2, 0, 0, 0};
}

// The low 8 bits of the sum of bytes 0 to 6.
std::uint8_t CommandChecksum(std::span<const std::uint8_t, kCommandPacketSize> packet);

// The status request of a link that reaches the unit directly (network,
// USB): 1B 04 00 <request> 00 00 00 <checksum>.
CommandPacket MakeStatusRequest(std::uint8_t request);
// Whether `bytes` are exactly such a request.
bool IsStatusRequest(std::span<const std::uint8_t> bytes);

// A mirror value as one byte: its low 8 bits, two's complement.
constexpr std::uint8_t LowByte(std::int32_t value) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

}  // namespace orlax::protocol

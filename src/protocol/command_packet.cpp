#include "protocol/command_packet.h"

#include <numeric>

namespace orlax::protocol {
namespace {

using enum CommandCode;

constexpr std::array kCatalogue{
    CommandInfo{ClearSpits, "ClearSpits"},
    CommandInfo{SetImageOffset, "SetImageOffset"},
    CommandInfo{FinalCheckFailed, "FinalCheckFailed"},
    CommandInfo{SetPositionOffset, "SetPositionOffset"},
    CommandInfo{PrepareMove, "PrepareMove"},
    CommandInfo{CalibrateLastDisk, "CalibrateLastDisk"},
    CommandInfo{RestoreFactory, "RestoreFactory"},
    CommandInfo{OffsetsSetup, "OffsetsSetup"},
    CommandInfo{FinalCheckStart, "FinalCheckStart"},
    CommandInfo{MoveLeftBin, "MoveLeftBin"},
    CommandInfo{MovePrinter, "MovePrinter"},
    CommandInfo{MoveRecorderUpper, "MoveRecorderUpper"},
    CommandInfo{MoveRightBin, "MoveRightBin"},
    CommandInfo{Pick, "Pick"},
    CommandInfo{PrinterMoveStart, "PrinterMoveStart"},
    CommandInfo{RecorderMoveStart, "RecorderMoveStart"},
    CommandInfo{MoveHook, "MoveHook"},
    CommandInfo{HookMoveFinish, "HookMoveFinish"},
    CommandInfo{TestBins, "TestBins"},
    CommandInfo{MoveFinish, "MoveFinish"},
    CommandInfo{FinalCheckPassed, "FinalCheckPassed"},
    CommandInfo{MoveRecorderLower, "MoveRecorderLower"},
};

}  // namespace

std::span<const CommandInfo> CommandCatalogue() { return kCatalogue; }

std::string_view CommandName(std::uint8_t code) {
    for (const auto& info : kCatalogue)
        if (static_cast<std::uint8_t>(info.code) == code) return info.name;
    return {};
}

std::uint8_t CommandChecksum(std::span<const std::uint8_t, kCommandPacketSize> packet) {
    return static_cast<std::uint8_t>(std::accumulate(packet.begin(), packet.begin() + 7, 0u));
}

CommandPacket MakeStatusRequest(std::uint8_t request) {
    CommandPacket packet{0x1B, 0x04, 0x00, request, 0x00, 0x00, 0x00, 0x00};
    packet[7] = CommandChecksum(packet);
    return packet;
}

bool IsStatusRequest(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != kCommandPacketSize) return false;
    const auto packet = bytes.first<kCommandPacketSize>();
    return packet[0] == 0x1B && packet[1] == 0x04 && packet[2] == 0x00 && packet[4] == 0x00 && packet[5] == 0x00 &&
           packet[6] == 0x00 && packet[7] == CommandChecksum(packet);
}

}  // namespace orlax::protocol

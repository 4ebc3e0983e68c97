#include "device/command_packet.h"

#include <numeric>

namespace orlax::device {
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

std::uint8_t CommandChecksum(const CommandPacket& packet) {
    return static_cast<std::uint8_t>(std::accumulate(packet.begin(), packet.begin() + 7, 0u));
}

}  // namespace orlax::device

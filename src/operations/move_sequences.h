// The mechanism sequences of SET OFFSETS as data: each step sends a
// command, waits, or reads the status without looking at the result. No
// step looks at the result of the one before; a failing step writes its
// own text to the log and the sequence goes on.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "protocol/command_packet.h"

namespace orlax::device {
class DeviceLink;
}

namespace orlax::operations {

class Outcome;

struct MoveStep {
    enum class Kind : std::uint8_t {
        Send,        // the command `code`
        Wait,        // `ms` milliseconds on the clock
        StatusRead,  // GetDeviceStatus, result not looked at
        SendByTray,  // `code` when the tray is in, else `otherCode`
    };
    Kind kind;
    protocol::CommandCode code{};
    protocol::CommandCode otherCode{};
    std::uint32_t ms = 0;
};

namespace step {
using protocol::CommandCode;
constexpr MoveStep Send(CommandCode code) { return {MoveStep::Kind::Send, code, {}, 0}; }
constexpr MoveStep Wait(std::uint32_t ms) { return {MoveStep::Kind::Wait, {}, {}, ms}; }
constexpr MoveStep StatusRead() { return {MoveStep::Kind::StatusRead, {}, {}, 0}; }
constexpr MoveStep SendByTray(CommandCode trayIn, CommandCode trayOut) {
    return {MoveStep::Kind::SendByTray, trayIn, trayOut, 0};
}
constexpr MoveStep Prepare() { return Send(CommandCode::PrepareMove); }
}  // namespace step

namespace sequence {
using protocol::CommandCode;
using namespace step;

inline constexpr std::array kMoveLeftBin{
    Prepare(), Send(CommandCode::MoveLeftBin), Wait(1000), StatusRead(), Send(CommandCode::MoveFinish)};
inline constexpr std::array kMoveRecorderUpper{
    Prepare(),  Send(CommandCode::RecorderMoveStart), Wait(2000),
    Send(CommandCode::MoveRecorderUpper),             Wait(1000),
    StatusRead(), Send(CommandCode::MoveFinish)};
inline constexpr std::array kMoveRecorderLower{
    Prepare(),  Send(CommandCode::RecorderMoveStart), Wait(2000),
    Send(CommandCode::MoveRecorderLower),             Wait(1000),
    StatusRead(), Send(CommandCode::MoveFinish)};
inline constexpr std::array kMovePrinter{
    Prepare(),  Send(CommandCode::PrinterMoveStart), Wait(2000),
    Send(CommandCode::MovePrinter),                  Wait(1000),
    StatusRead(), Send(CommandCode::MoveFinish)};
inline constexpr std::array kMoveRightBin{
    Prepare(), Send(CommandCode::MoveRightBin), Wait(1000), StatusRead(), Send(CommandCode::MoveFinish)};
inline constexpr std::array kMoveHook{
    Prepare(), Send(CommandCode::MoveHook), Wait(3000), Send(CommandCode::HookMoveFinish)};
inline constexpr std::array kPick{Prepare(), Send(CommandCode::Pick)};
// The tray TEST decides on the tray flag as its own status read leaves it.
inline constexpr std::array kTestTray{
    Prepare(), StatusRead(), SendByTray(CommandCode::PrinterMoveStart, CommandCode::RecorderMoveStart)};
// After the arm home offset has been sent.
inline constexpr std::array kArmHome{
    Wait(2000), Prepare(), Send(CommandCode::MoveHook), Send(CommandCode::HookMoveFinish)};
}  // namespace sequence

void RunSequence(device::DeviceLink& link, Outcome& outcome, std::span<const MoveStep> steps);

}  // namespace orlax::operations

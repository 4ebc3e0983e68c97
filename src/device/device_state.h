// What the tool knows of the unit: the last status reply and the host-side
// mirror of the unit's offsets, with the busy and tray flags.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "protocol/command_packet.h"
#include "protocol/status_exchange.h"
#include "protocol/status_record.h"
#include "protocol/wire.h"

namespace orlax::device {

inline constexpr std::int32_t kMirrorUnset = 99;

struct DeviceMirror {
    std::int32_t verticalOffset = kMirrorUnset;
    std::int32_t horizontalOffset = kMirrorUnset;
    std::int32_t leftBin = kMirrorUnset;
    std::int32_t recorder = kMirrorUnset;
    std::int32_t recorder2 = kMirrorUnset;
    std::int32_t printer = kMirrorUnset;
    std::int32_t rightBin = kMirrorUnset;
    std::int32_t hook = kMirrorUnset;
    std::int32_t trayOut = kMirrorUnset;
    std::int32_t pickerSwitch = kMirrorUnset;
    std::int32_t armHome = kMirrorUnset;
    std::int32_t lexVersion = kMirrorUnset;

    static constexpr std::int32_t expectedLexVersion = 99;
    static constexpr std::string_view expectedFirmware = "Not Set";
};

struct DeviceState {
    static constexpr std::size_t kStatusBufferSize = protocol::kMaxStatusReply;

    std::array<std::uint8_t, kStatusBufferSize> statusBuffer{};
    std::uint32_t statusLength = 0;
    DeviceMirror mirror;
    bool deviceBusy = false;
    bool trayIn = false;

    // The first 100 bytes of the buffer, read as a status record.
    std::span<const std::uint8_t, protocol::kStatusRecordSize> Record() const {
        return std::span(statusBuffer).first<protocol::kStatusRecordSize>();
    }
    std::span<std::uint8_t, protocol::kStatusRecordSize> Record() {
        return std::span(statusBuffer).first<protocol::kStatusRecordSize>();
    }
};

}  // namespace orlax::device

#include "protocol/record_fields.h"

#include <array>

#include "protocol/status_record.h"

namespace orlax::protocol {
namespace {

namespace f = protocol::field;

constexpr std::array kFields = {
    RecordField{"penConfig", f::penConfig, FieldKind::Byte},
    RecordField{"spitLimitFlags", f::spitLimitFlags, FieldKind::Byte},
    RecordField{"yellowSpitsB", f::yellowSpitsB, FieldKind::Counter},
    RecordField{"magentaSpitsB", f::magentaSpitsB, FieldKind::Counter},
    RecordField{"cyanSpitsB", f::cyanSpitsB, FieldKind::Counter},
    RecordField{"yellowSpitsA", f::yellowSpitsA, FieldKind::Counter},
    RecordField{"magentaSpitsA", f::magentaSpitsA, FieldKind::Counter},
    RecordField{"cyanSpitsA", f::cyanSpitsA, FieldKind::Counter},
    RecordField{"trayInSensorLow", f::trayInSensorLow, FieldKind::Byte},
    RecordField{"trayInSensorHigh", f::trayInSensorHigh, FieldKind::Byte},
    RecordField{"diskInSensorLow", f::diskInSensorLow, FieldKind::Byte},
    RecordField{"diskInSensorHigh", f::diskInSensorHigh, FieldKind::Byte},
    RecordField{"disksPrinted", f::disksPrinted, FieldKind::Counter},
    RecordField{"disksPicked", f::disksPicked, FieldKind::Counter},
    RecordField{"rightBinCount", f::rightBinCount, FieldKind::Byte},
    RecordField{"leftBinCount", f::leftBinCount, FieldKind::Byte},
    RecordField{"imageVertical", f::imageVertical, FieldKind::Byte},
    RecordField{"imageHorizontal", f::imageHorizontal, FieldKind::Byte},
    RecordField{"lexVersion", f::lexVersion, FieldKind::Byte},
    RecordField{"pgaVersion", f::pgaVersion, FieldKind::Byte},
    RecordField{"firmwareVersion", f::firmwareVersion, FieldKind::Firmware},
    RecordField{"modelType", f::modelType, FieldKind::Character},
    RecordField{"lastCommand", f::lastCommand, FieldKind::Byte},
    RecordField{"errorBits", f::errorBits, FieldKind::Byte},
    RecordField{"systemStatus", f::systemStatus, FieldKind::Character},
    RecordField{"trayStatus", f::trayStatus, FieldKind::Character},
    RecordField{"pickerStatus", f::pickerStatus, FieldKind::Character},
    RecordField{"leftBinOffset", f::leftBinOffset, FieldKind::Byte},
    RecordField{"recorderOffset", f::recorderOffset, FieldKind::Byte},
    RecordField{"recorder2Offset", f::recorder2Offset, FieldKind::Byte},
    RecordField{"printerOffset", f::printerOffset, FieldKind::Byte},
    RecordField{"rightBinOffset", f::rightBinOffset, FieldKind::Byte},
    RecordField{"hookOffset", f::hookOffset, FieldKind::Byte},
    RecordField{"trayOutOffset", f::trayOutOffset, FieldKind::Byte},
    RecordField{"pickerSwitchOffset", f::pickerSwitchOffset, FieldKind::Byte},
    RecordField{"armHomeOffset", f::armHomeOffset, FieldKind::Byte},
    RecordField{"lastDiskRight", f::lastDiskRight, FieldKind::Byte},
    RecordField{"lastDiskLeft", f::lastDiskLeft, FieldKind::Byte},
};

}  // namespace

std::span<const RecordField> RecordFields() { return kFields; }

void WriteBigEndian32(std::span<std::uint8_t> record, std::size_t at, std::uint32_t value) {
    auto bytes = record.subspan(at, 4);
    for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}

}  // namespace orlax::protocol

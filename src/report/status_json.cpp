#include "report/status_json.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>

#include "protocol/record_fields.h"

namespace orlax::report {
namespace {

using protocol::FieldKind;
using Json = nlohmann::ordered_json;
namespace field = protocol::field;

// The record's two's-complement bytes: the offsets.
constexpr std::array kSignedBytes{
    field::imageVertical, field::imageHorizontal, field::leftBinOffset, field::recorderOffset,
    field::recorder2Offset, field::printerOffset, field::rightBinOffset, field::hookOffset,
    field::trayOutOffset, field::armHomeOffset, field::lastDiskRight, field::lastDiskLeft,
};

bool Printable(std::uint8_t c) { return c >= 0x20 && c < 0x7F; }

Json ByteValue(std::uint8_t byte, std::size_t at) {
    if (std::ranges::find(kSignedBytes, at) != kSignedBytes.end()) return static_cast<std::int8_t>(byte);
    return byte;
}

// A character as a one-character text when it prints, else its code.
Json CharacterValue(std::uint8_t byte) {
    if (Printable(byte)) return std::string(1, static_cast<char>(byte));
    return byte;
}

// The firmware text as text when it is printable and zero-padded, as a
// scenario writes it; otherwise its 15 bytes, so that nothing is lost.
Json FirmwareValue(std::span<const std::uint8_t> bytes) {
    const auto end = std::ranges::find(bytes, std::uint8_t{0});
    const bool text = std::all_of(bytes.begin(), end, Printable) &&
                      std::all_of(end, bytes.end(), [](std::uint8_t b) { return b == 0; });
    if (text) return std::string(bytes.begin(), end);
    Json list = Json::array();
    for (const std::uint8_t b : bytes) list.push_back(b);
    return list;
}

}  // namespace

std::string StatusRecordJson(std::span<const std::uint8_t, protocol::kStatusRecordSize> record) {
    Json object = Json::object();
    for (const auto& f : protocol::RecordFields()) {
        switch (f.kind) {
            case FieldKind::Byte: object[std::string(f.name)] = ByteValue(record[f.at], f.at); break;
            case FieldKind::Counter: object[std::string(f.name)] = protocol::ReadBigEndian32(record, f.at); break;
            case FieldKind::Character: object[std::string(f.name)] = CharacterValue(record[f.at]); break;
            case FieldKind::Firmware:
                object[std::string(f.name)] = FirmwareValue(record.subspan(f.at, field::firmwareVersionLength));
                break;
        }
    }
    return object.dump();
}

}  // namespace orlax::report

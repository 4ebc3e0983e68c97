// The status record's fields by name, as a scenario file and the status JSON name them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace orlax::protocol {

enum class FieldKind {
    Byte,       // one byte: -128..255, stored as the low 8 bits
    Counter,    // four bytes, big-endian: 0..4294967295
    Character,  // one byte: a one-character string or 0..255
    Firmware,   // the 15-character firmware text, zero-padded
};

struct RecordField {
    std::string_view name;
    std::size_t at;
    FieldKind kind;
};

std::span<const RecordField> RecordFields();

// Writes `value` as four bytes at `at`, the most significant first.
void WriteBigEndian32(std::span<std::uint8_t> record, std::size_t at, std::uint32_t value);

}  // namespace orlax::protocol

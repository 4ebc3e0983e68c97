// Bytes as hex digits: the one place the program spells a byte in hex.
// At the bottom of the layers: includes nothing of ours.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orlax::util {

enum class HexCase { Upper, Lower };

// The two digits of `byte`, high nibble first.
inline void AppendHexByte(std::string& out, std::uint8_t byte, HexCase letters = HexCase::Upper) {
    const char* digits = letters == HexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    out.push_back(digits[byte >> 4]);
    out.push_back(digits[byte & 0x0F]);
}

// Every byte as two digits, each followed by `after` (nothing, or a space).
inline void AppendHex(std::string& out, std::span<const std::uint8_t> bytes, HexCase letters = HexCase::Upper,
                      std::string_view after = {}) {
    out.reserve(out.size() + bytes.size() * (2 + after.size()));
    for (const std::uint8_t byte : bytes) {
        AppendHexByte(out, byte, letters);
        out += after;
    }
}

inline std::string Hex(std::span<const std::uint8_t> bytes, HexCase letters = HexCase::Upper,
                       std::string_view after = {}) {
    std::string text;
    AppendHex(text, bytes, letters, after);
    return text;
}

}  // namespace orlax::util

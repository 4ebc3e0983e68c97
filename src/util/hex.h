// Bytes as hex digits: the one place the program spells a byte in hex.
// At the bottom of the layers: includes nothing of ours.
#pragma once

#include <cstdint>
#include <optional>
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

// The value of one hex digit, either case; -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// `text` with every "%XX" turned into the byte it spells, as a URI escapes
// it; nullopt for a '%' not followed by two hex digits.
inline std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = HexDigitValue(text[i + 1]);
        const int low = HexDigitValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

}  // namespace orlax::util

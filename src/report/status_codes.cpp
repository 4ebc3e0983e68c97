#include "report/status_codes.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace orlax::report {
namespace {

struct CodeText {
    std::uint8_t code;
    std::string_view text;
};

constexpr std::array kModelTypes{
    CodeText{'A', "MODEL: A   No drive.\r\n"},
    CodeText{'B', "MODEL: B   CDR drive.\r\n"},
    CodeText{'C', "MODEL: C   DVD drive.\r\n"},
};
constexpr std::array kPenConfigs{
    CodeText{1, "NONE\tRIGHT PEN: Color\r\n"},
    CodeText{2, "BLACK\tRIGHT PEN: NONE\r\n"},
    CodeText{3, "BLACK\tRIGHT PEN: Color\r\n"},
    CodeText{4, "Color\tRIGHT PEN: Color\r\n"},
};
constexpr std::array kSystemStatuses{
    CodeText{'B', "SYSTEM STATUS: B   BUSY.\r\n"},
    CodeText{'C', "SYSTEM STATUS: C   COVER OPEN.\r\n"},
    CodeText{'I', "SYSTEM STATUS: I   IDLE.\r\n"},
};
constexpr std::array kTrayStatuses{
    CodeText{'D', "PRINTER TRAY IN WITH DISK."},
    CodeText{'I', "PRINTER TRAY IN NO DISK."},
    CodeText{'O', "PRINTER TRAY OUT."},
};
constexpr std::array kPickerStatuses{
    CodeText{'O', "    DISK IN PICKER.\r\n"},
    CodeText{'X', "    NO DISK IN PICKER.\r\n"},
};

template <std::size_t N>
const std::string_view* Find(const std::array<CodeText, N>& table, std::uint8_t code) {
    for (const auto& entry : table)
        if (entry.code == code) return &entry.text;
    return nullptr;
}

std::string Formatted(const char* format, unsigned value) {
    char line[100];
    std::snprintf(line, sizeof line, format, value);
    return line;
}

template <std::size_t N>
std::string Lookup(const std::array<CodeText, N>& table, std::uint8_t code,
                   const char* fallback, unsigned fallbackValue) {
    if (const auto* text = Find(table, code)) return std::string(*text);
    return Formatted(fallback, fallbackValue);
}

}  // namespace

std::string ModelTypeText(std::uint8_t code) {
    // The unlisted model byte is shown signed and widened: 0x80 shows as FFFFFF80.
    const auto widened = static_cast<unsigned>(static_cast<std::int32_t>(static_cast<std::int8_t>(code)));
    return Lookup(kModelTypes, code, "INVALID MODEL TYPE: %.2X\r\n", widened);
}

std::string PenConfigText(std::uint8_t code) {
    if (const auto* text = Find(kPenConfigs, code)) return std::string(*text);
    return "Invalid\tRIGHT PEN: Invalid\r\n";
}

std::string SystemStatusText(std::uint8_t code) {
    return Lookup(kSystemStatuses, code, "INVALID STATUS: %.2X\r\n", code);
}

std::string TrayStatusText(std::uint8_t code) {
    return Lookup(kTrayStatuses, code, "INVALID TRAY STATUS: %.2X", code);
}

std::string PickerStatusText(std::uint8_t code) {
    return Lookup(kPickerStatuses, code, "    INVALID PICKER STATUS: %.2X\r\n", code);
}

}  // namespace orlax::report

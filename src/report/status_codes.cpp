#include "report/status_codes.h"

#include <array>
#include <string_view>

#include "util/format.h"

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

constexpr std::size_t kLineSize = 100;  // an unlisted code's line, terminator included

}  // namespace

std::string ModelTypeText(std::uint8_t code) {
    // The unlisted model byte is shown signed and widened: 0x80 shows as FFFFFF80.
    const auto widened = static_cast<unsigned>(static_cast<std::int32_t>(static_cast<std::int8_t>(code)));
    if (const auto* text = Find(kModelTypes, code)) return std::string(*text);
    return util::FormatCut(kLineSize, "INVALID MODEL TYPE: %.2X\r\n", widened);
}

std::string PenConfigText(std::uint8_t code) {
    if (const auto* text = Find(kPenConfigs, code)) return std::string(*text);
    return "Invalid\tRIGHT PEN: Invalid\r\n";
}

std::string SystemStatusText(std::uint8_t code) {
    if (const auto* text = Find(kSystemStatuses, code)) return std::string(*text);
    return util::FormatCut(kLineSize, "INVALID STATUS: %.2X\r\n", unsigned{code});
}

std::string TrayStatusText(std::uint8_t code) {
    if (const auto* text = Find(kTrayStatuses, code)) return std::string(*text);
    return util::FormatCut(kLineSize, "INVALID TRAY STATUS: %.2X", unsigned{code});
}

std::string PickerStatusText(std::uint8_t code) {
    if (const auto* text = Find(kPickerStatuses, code)) return std::string(*text);
    return util::FormatCut(kLineSize, "    INVALID PICKER STATUS: %.2X\r\n", unsigned{code});
}

}  // namespace orlax::report

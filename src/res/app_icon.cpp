#include "res/app_icon.h"

#include <algorithm>

namespace orlax::res {
namespace {

// One character a pixel: a hexadecimal palette index, '.' for transparent.
constexpr std::array<std::string_view, kAppIconSize> kRows{
    "..............8888..............",
    "..........888877778888..........",
    "........8877777777777788........",
    ".......8777BBBBBBBBBB7778.......",
    ".....8877FFBBBBBBBBBBBB7788.....",
    "....8877FFFBBBBBBBBBBBBB7788....",
    "....877FFFFFBBBBBBBBBBBBB778....",
    "...877FFFFFFBBBBBBBBBBBBBB778...",
    "..877FFFFFFFFBBBBBBBBBBBBBB778..",
    "..87FFFFFFFFFBBBBBBBBBBBBBBB78..",
    ".877FFFFFFFFFB7777BBBBBBBBBB778.",
    ".87DDDFFFFFF77FFFF77BBBBBBBBB78.",
    ".87DDDDDFFF7FFFFFFFF7BBBBBBBB78.",
    ".87DDDDDDDD7FF8888FF7BBBBBBBB78.",
    "877DDDDDDD7FF8....8FF7BBBBBBB778",
    "877DDDDDDD7FF8....8FF7BBBBBBB778",
    "877DDDDDDD7FF8....8FF7EEEEEEE778",
    "877DDDDDDD7FF8....8FF7EEEEEEE778",
    ".87DDDDDDDD7FF8888FF7EEEEEEEE78.",
    ".87DDDDDDDD7FFFFFFFF7EEEEEEEE78.",
    ".87DDDDDDDDD77FFFF77EEEEEEEEE78.",
    ".877DDDDDDDDDE7777EEEEEEEEEE778.",
    "..87DDDDDDDDDEEEEEEEEEEEEEEE78..",
    "..877DDDDDDDDEEEEEEEEEEEEEE778..",
    "...877DDDDDDEEEEEEEEEEEEEE778...",
    "....877DDDDDEEEEEEEEEEEEE778....",
    "....8877DDDEEEEEEEEEEEEE7788....",
    ".....8877DDEEEEEEEEEEEE7788.....",
    ".......8777EEEEEEEEEE7778.......",
    "........8877777777777788........",
    "..........888877778888..........",
    "..............8888..............",
};

constexpr bool IsPixelChar(char c) {
    return c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
}

constexpr bool RowsAreWellFormed() {
    return std::all_of(kRows.begin(), kRows.end(), [](std::string_view row) {
        return row.size() == static_cast<std::size_t>(kAppIconSize) &&
               std::all_of(row.begin(), row.end(), IsPixelChar);
    });
}
static_assert(RowsAreWellFormed(), "every icon row has 32 pixels, each '.', 0-9 or A-F");

constexpr std::array<Rgb, kAppIconColours> kPalette{{
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
}};

}  // namespace

const std::array<Rgb, kAppIconColours>& AppIconPalette() { return kPalette; }

std::optional<int> AppIconPixel(int x, int y) {
    if (x < 0 || y < 0 || x >= kAppIconSize || y >= kAppIconSize) return std::nullopt;
    const char c = kRows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
    if (c == '.') return std::nullopt;
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

}  // namespace orlax::res

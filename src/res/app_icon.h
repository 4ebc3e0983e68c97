// Icon 128, the window's icon: a printed disc, 32 by 32 pixels in the 16
// colours of the standard palette, kept as data so that any front end can
// turn it into an image of its own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace orlax::res {

inline constexpr int kAppIconId = 128;
inline constexpr int kAppIconSize = 32;
inline constexpr int kAppIconColours = 16;

struct Rgb {
    std::uint8_t r, g, b;
};

// The palette: black, maroon, green, olive, navy, purple, teal, silver,
// grey, red, lime, yellow, blue, fuchsia, aqua, white.
const std::array<Rgb, kAppIconColours>& AppIconPalette();

// The palette index of pixel (x, y), row 0 at the top; nullopt where the
// icon is transparent or (x, y) lies outside it.
std::optional<int> AppIconPixel(int x, int y);

}  // namespace orlax::res

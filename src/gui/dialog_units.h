// Dialog units: template positions and sizes are given in quarters of the
// dialog font's average character width (x) and eighths of its height (y),
// the base units. Converting them with the font's own base units keeps every
// window at the proportions its template gives, whatever font stands in.
#pragma once

namespace orlax::gui {

struct BaseUnits {
    int x = 0;  // average width of "A".."Z" "a".."z", in pixels
    int y = 0;  // character height, in pixels
};

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

// The base units of a font from the width of the 52 letters and its height:
// the width divided by 26, rounded half up, halved (the window system's own
// rounding of the average).
constexpr BaseUnits BaseUnitsFrom(int lettersWidth, int height) {
    return {(lettersWidth / 26 + 1) / 2, height};
}

// value * numerator / denominator, rounded half away from zero.
constexpr int MulDiv(int value, int numerator, int denominator) {
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

constexpr int DialogUnitsToPixelsX(int units, const BaseUnits& base) { return MulDiv(units, base.x, 4); }
constexpr int DialogUnitsToPixelsY(int units, const BaseUnits& base) { return MulDiv(units, base.y, 8); }

constexpr PixelRect MapDialogRect(int x, int y, int cx, int cy, const BaseUnits& base) {
    return {DialogUnitsToPixelsX(x, base), DialogUnitsToPixelsY(y, base),
            DialogUnitsToPixelsX(cx, base), DialogUnitsToPixelsY(cy, base)};
}

}  // namespace orlax::gui

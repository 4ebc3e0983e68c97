// Labels of multi-line push buttons: broken between words so that each line
// fits the button, as the window system does for such buttons.
#pragma once

#include <QFontMetrics>
#include <QString>

namespace orlax::gui {

// Room a push button's frame and padding take from its label, in pixels.
inline constexpr int kButtonLabelInset = 6;

// Greedy word wrap of `text` into lines of at most `width` pixels; a word
// wider than that gets a line of its own. Lines are joined with '\n'.
QString WrapLabel(const QString& text, const QFontMetrics& metrics, int width);

}  // namespace orlax::gui

// The dialog font of a template, mapped to a font this machine has, and its
// base units.
#pragma once

#include <QFont>
#include <string_view>

#include "gui/dialog_units.h"

namespace orlax::gui {

// The template's font by name and point size. The old bitmap sans-serif of
// the templates is not on this system: a plain sans-serif of the same point
// size stands in for it. Other names are asked for as they are, with a
// sans-serif fallback.
QFont DialogFont(std::string_view name, int pointSize);

// The base units of `font` as its metrics give them.
BaseUnits BaseUnitsOf(const QFont& font);

}  // namespace orlax::gui

// Builds the widgets of a window from its dialog template: every control at
// its template position and size, converted with the dialog font's base
// units; texts, hidden controls, tab stops and tab order as the template
// gives them. One builder for every template: no window is laid out by hand.
#pragma once

#include <memory>
#include <vector>

#include "gui/dialog_units.h"
#include "gui/template_dialog.h"
#include "res/dialog_templates.h"

class QWidget;

namespace orlax::gui {

struct BuiltControl {
    const res::ControlTemplate* control;
    QWidget* widget;  // owned by the dialog
};

struct BuiltWindow {
    std::unique_ptr<TemplateDialog> dialog;
    std::vector<BuiltControl> controls;  // template order
    BaseUnits base;

    // The control with that id, or nullptr (statics have none).
    const BuiltControl* Find(int id) const;
};

// The template text of a button or label (wrapped labels show it with line
// breaks).
inline constexpr const char* kTemplateTextProperty = "orlaxTemplateText";

BuiltWindow BuildWindow(const res::DialogTemplate& dialogTemplate, QWidget* owner);

// The pixel rectangle of a template rectangle in `window`.
PixelRect MapRect(const BuiltWindow& window, int x, int y, int cx, int cy);

}  // namespace orlax::gui

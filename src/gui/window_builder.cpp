#include "gui/window_builder.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QString>
#include <QTextDocument>

#include "gui/button_label.h"
#include "gui/dialog_font.h"

namespace orlax::gui {
namespace {

using res::ControlKind;
using res::ControlTemplate;

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool Has(std::uint32_t style, std::uint32_t flag) { return (style & flag) != 0; }

Qt::WindowFlags WindowFlagsFor(std::uint32_t style) {
    Qt::WindowFlags flags = Has(style, res::kAppWindow) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
    if (Has(style, res::kCaption)) flags |= Qt::WindowTitleHint;
    if (Has(style, res::kSysMenu)) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    return flags;
}

QWidget* MakeButton(const ControlTemplate& control, const PixelRect& rect, QWidget* parent) {
    auto* button = new QPushButton(parent);
    const QString text = ToQString(control.text);
    button->setProperty(kTemplateTextProperty, text);
    button->setText(Has(control.style, res::kMultiLine)
                        ? WrapLabel(text, button->fontMetrics(), rect.width - kButtonLabelInset)
                        : text);
    // Enter is the dialog's business: only the template's default button is
    // the default, and no button becomes one by having the focus.
    button->setAutoDefault(false);
    button->setDefault(Has(control.style, res::kDefPushButton));
    return button;
}

QWidget* MakeStatic(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(ToQString(control.text));
    label->setProperty(kTemplateTextProperty, label->text());
    label->setAlignment(Qt::AlignTop |
                        (Has(control.style, res::kCenter) ? Qt::AlignHCenter : Qt::AlignLeft));
    return label;
}

// A label one line high shows its text on one line. Where the stand-in font
// makes the text a little wider than the template's box, the box grows to
// the text (away from its alignment side) instead of cutting it or breaking
// it onto a line that the box has no room for.
PixelRect FitLabel(const ControlTemplate& control, PixelRect rect, QLabel& label) {
    const QFontMetrics metrics = label.fontMetrics();
    if (rect.height >= 2 * metrics.lineSpacing()) {
        label.setWordWrap(true);
        return rect;
    }
    const int needed = metrics.horizontalAdvance(label.text()) + 1;
    if (needed <= rect.width) return rect;
    if (Has(control.style, res::kCenter)) rect.x -= (needed - rect.width) / 2;
    rect.width = needed;
    return rect;
}

// Tab stops of multi-line edits: every 32 dialog units across.
constexpr int kEditTabStopUnits = 32;

QWidget* MakeEdit(const ControlTemplate& control, const BaseUnits& base, QWidget* parent) {
    if (Has(control.style, res::kMultiLine)) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setLineWrapMode(QPlainTextEdit::NoWrap);
        edit->setReadOnly(Has(control.style, res::kReadOnly));
        if (edit->isReadOnly())
            edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        edit->setTabChangesFocus(true);
        // The template gives the box no scroll bars, yet a status report is
        // longer and wider than the box: bars come when the text needs them.
        edit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        edit->setTabStopDistance(DialogUnitsToPixelsX(kEditTabStopUnits, base));
        edit->setFrameShape(Has(control.style, res::kBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
        edit->document()->setDocumentMargin(2);
        edit->setPlainText(ToQString(control.text));
        return edit;
    }
    auto* edit = new QLineEdit(parent);
    edit->setFrame(Has(control.style, res::kBorder));
    edit->setReadOnly(Has(control.style, res::kReadOnly));
    edit->setText(ToQString(control.text));
    return edit;
}

QWidget* MakeComboBox(const ControlTemplate& control, const PixelRect& listRect, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(Has(control.style, res::kDropDown));
    // The list holds what the program inserts, where it inserts it; typing a
    // name and pressing Enter adds nothing, and nothing is sorted.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setDuplicatesEnabled(true);
    combo->setEditText(ToQString(control.text));
    // The template's height is that of the dropped list.
    const int closed = combo->sizeHint().height();
    const int itemHeight = std::max(1, combo->fontMetrics().height() + 2);
    combo->setMaxVisibleItems(std::max(1, (listRect.height - closed) / itemHeight));
    return combo;
}

Qt::FocusPolicy FocusPolicyFor(const ControlTemplate& control) {
    if (control.kind == ControlKind::Static) return Qt::NoFocus;
    return Has(control.style, res::kTabStop) ? Qt::StrongFocus : Qt::ClickFocus;
}

}  // namespace

const BuiltControl* BuiltWindow::Find(int id) const {
    if (id == res::kIdStatic) return nullptr;
    for (const auto& built : controls)
        if (built.control->id == id) return &built;
    return nullptr;
}

PixelRect MapRect(const BuiltWindow& window, int x, int y, int cx, int cy) {
    return MapDialogRect(x, y, cx, cy, window.base);
}

BuiltWindow BuildWindow(const res::DialogTemplate& dialogTemplate, QWidget* owner) {
    BuiltWindow window;
    window.dialog = std::make_unique<TemplateDialog>(owner);
    TemplateDialog& dialog = *window.dialog;
    dialog.setWindowFlags(WindowFlagsFor(dialogTemplate.style));
    dialog.setWindowTitle(ToQString(dialogTemplate.caption));
    const QFont font = DialogFont(dialogTemplate.fontName, dialogTemplate.fontPointSize);
    dialog.setFont(font);
    window.base = BaseUnitsOf(font);

    const PixelRect client = MapRect(window, 0, 0, dialogTemplate.cx, dialogTemplate.cy);
    dialog.setFixedSize(client.width, client.height);

    QWidget* previousFocusable = nullptr;
    for (const ControlTemplate& control : dialogTemplate.controls) {
        const PixelRect rect = MapRect(window, control.x, control.y, control.cx, control.cy);
        QWidget* widget = nullptr;
        switch (control.kind) {
            case ControlKind::Button: widget = MakeButton(control, rect, &dialog); break;
            case ControlKind::Static: widget = MakeStatic(control, &dialog); break;
            case ControlKind::Edit: widget = MakeEdit(control, window.base, &dialog); break;
            case ControlKind::ComboBox: widget = MakeComboBox(control, rect, &dialog); break;
        }
        PixelRect placed = rect;
        if (control.kind == ControlKind::ComboBox) placed.height = widget->sizeHint().height();
        if (auto* label = qobject_cast<QLabel*>(widget)) placed = FitLabel(control, rect, *label);
        widget->setGeometry(placed.x, placed.y, placed.width, placed.height);
        widget->setFocusPolicy(FocusPolicyFor(control));
        widget->setHidden(!Has(control.style, res::kVisible));
        if (control.id != res::kIdStatic)
            widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previousFocusable) QWidget::setTabOrder(previousFocusable, widget);
            previousFocusable = widget;
        }
        window.controls.push_back({&control, widget});
    }
    return window;
}

}  // namespace orlax::gui

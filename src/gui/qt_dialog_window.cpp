#include "gui/qt_dialog_window.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "gui/button_label.h"
#include "gui/busy_cursor.h"
#include "gui/event_trace.h"
#include "gui/progress_line.h"
#include "platform/dialog.h"

namespace orlax::gui {
namespace {

using res::ControlKind;

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStd(const QString& text) { return text.toUtf8().toStdString(); }

// A multi-line edit keeps its line breaks as "\r\n", as the log writes them.
QString ToDisplayLines(std::string_view text) {
    QString lines = ToQString(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return lines;
}

std::string FromDisplayLines(const QString& lines) {
    QString text = lines;
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return ToStd(text);
}

std::uint16_t KillFocusCode(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit: return platform::kEnKillFocus;
        case ControlKind::ComboBox: return platform::kCbnKillFocus;
        default: return 0;
    }
}

bool IsVisibleTabStop(const res::ControlTemplate& control) {
    return control.id != res::kIdStatic && (control.style & res::kTabStop) &&
           (control.style & res::kVisible);
}

// Whether `object` is `owner` or one of its children, across windows.
bool Within(const QObject* object, const QObject* owner) {
    for (; object; object = object->parent())
        if (object == owner) return true;
    return false;
}

// A focus loss that is none for the window system these windows follow: a
// popup (a menu, a drop-down list) opening over the control, or the focus
// going into the control's own drop-down list, which Qt gives it the first
// time the list opens, after the popup's own focus change.
bool FocusStaysOver(const QWidget& control, const QFocusEvent& event) {
    if (event.reason() == Qt::PopupFocusReason) return true;
    return qobject_cast<const QComboBox*>(&control) && Within(QApplication::focusWidget(), &control);
}

// The window menu's own entry: the close box's command.
constexpr int kCloseEntry = -1;

}  // namespace

// Watches the controls for the keys and focus losses the window acts on.
class QtDialogWindow::Events final : public QObject {
public:
    explicit Events(QtDialogWindow& window) : window_(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        if (event->type() == QEvent::KeyPress)
            return window_.OnKey(widget, static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusOut && !FocusStaysOver(*widget, *static_cast<QFocusEvent*>(event))) {
            for (const auto& built : window_.built_.controls)
                if (built.widget == widget) window_.OnFocusLost(built);
        }
        return false;
    }

private:
    QtDialogWindow& window_;
};

QtDialogWindow::QtDialogWindow(const res::DialogTemplate& dialogTemplate, platform::Dialog& dialog,
                               QWidget* owner)
    : template_(dialogTemplate),
      dialog_(dialog),
      built_(BuildWindow(dialogTemplate, owner)),
      events_(std::make_unique<Events>(*this)) {
    TemplateDialog& widget = *built_.dialog;
    widget.SetRequests({
        .close = [this] { Notify(platform::kBnClicked, platform::kIdCancel); },
        .key = [this](QKeyEvent* event) { return OnKey(built_.dialog.get(), event); },
        .windowMenu = [this](const QPoint& global) { ShowWindowMenu(global); },
    });
    for (const auto& built : built_.controls) {
        if (built.widget->focusPolicy() != Qt::NoFocus) built.widget->installEventFilter(events_.get());
        if (auto* button = qobject_cast<QPushButton*>(built.widget)) {
            const int id = built.control->id;
            QObject::connect(button, &QPushButton::clicked, &widget,
                             [this, id] { Notify(platform::kBnClicked, id); });
        }
    }
}

QtDialogWindow::~QtDialogWindow() {
    // Nothing more reaches the dialog: its window is going.
    queue_.Clear();
    events_.reset();
    built_.dialog.reset();
}

QWidget* QtDialogWindow::Control(int id) const {
    const BuiltControl* built = built_.Find(id);
    return built ? built->widget : nullptr;
}

std::string QtDialogWindow::GetItemText(int id) const {
    const BuiltControl* built = built_.Find(id);
    if (!built) return {};
    QWidget* widget = built->widget;
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return ToStd(edit->text());
    if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) return FromDisplayLines(text->toPlainText());
    if (auto* combo = qobject_cast<QComboBox*>(widget)) return ToStd(combo->currentText());
    return ToStd(widget->property(kTemplateTextProperty).toString());
}

void QtDialogWindow::SetItemText(int id, std::string_view text) {
    const BuiltControl* built = built_.Find(id);
    if (!built) return;
    QWidget* widget = built->widget;
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(ToQString(text));
    } else if (auto* lines = qobject_cast<QPlainTextEdit*>(widget)) {
        lines->setPlainText(ToDisplayLines(text));
        // The newest text is at the end: show it, as a log box must.
        lines->moveCursor(QTextCursor::End);
        lines->ensureCursorVisible();
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setEditText(ToQString(text));
    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
        const QString label = ToQString(text);
        button->setProperty(kTemplateTextProperty, label);
        button->setText((built->control->style & res::kMultiLine)
                            ? WrapLabel(label, button->fontMetrics(), button->width() - kButtonLabelInset)
                            : label);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(ToQString(text));
        label->setProperty(kTemplateTextProperty, label->text());
    }
}

int QtDialogWindow::ComboInsertString(int id, int index, std::string_view text) {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (!combo) return -1;
    if (index < 0) index = combo->count();
    if (index > combo->count()) return -1;
    // Inserting never changes the selection or the edit field's text (the
    // toolkit would select the first entry put into an empty list).
    const int selected = combo->currentIndex();
    const QString typed = combo->currentText();
    combo->insertItem(index, ToQString(text));
    if (selected < 0 && combo->currentIndex() >= 0) {
        combo->setCurrentIndex(-1);
        if (combo->isEditable()) combo->setEditText(typed);
    }
    return index;
}

int QtDialogWindow::ComboSetCurSel(int id, int index) {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (!combo || index < 0 || index >= combo->count()) return -1;
    combo->setCurrentIndex(index);
    if (combo->isEditable()) combo->setEditText(combo->itemText(index));
    return index;
}

void QtDialogWindow::AppendSystemMenu(int commandId, std::string_view text) {
    menuEntries_.emplace_back(commandId, std::string(text));
    if (menu_) {
        menu_->addSeparator();
        menu_->addAction(ToQString(text))->setData(commandId);
    }
}

QMenu& QtDialogWindow::WindowMenu() {
    if (!menu_) {
        menu_ = new QMenu(built_.dialog.get());
        menu_->addAction(QStringLiteral("&Close\tAlt+F4"))->setData(kCloseEntry);
        for (const auto& [commandId, text] : menuEntries_) {
            menu_->addSeparator();
            menu_->addAction(ToQString(text))->setData(commandId);
        }
    }
    return *menu_;
}

void QtDialogWindow::ShowWindowMenu(const QPoint& global) {
    const QAction* chosen = WindowMenu().exec(global);
    if (!chosen) return;
    const int commandId = chosen->data().toInt();
    if (commandId == kCloseEntry) {
        Notify(platform::kBnClicked, platform::kIdCancel);
    } else {
        SystemCommand(commandId);
    }
}

void QtDialogWindow::UpdateWindow() {
    if (built_.dialog->isVisible()) built_.dialog->repaint();
}

void QtDialogWindow::EndDialog(int result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
    built_.dialog->done(result);
}

void QtDialogWindow::RunHandler(std::function<void()> handler, std::string name) {
    queue_.Post([this, handler = std::move(handler), name = std::move(name)] {
        if (trace_) trace_->Line("run " + name);
        {
            BusyCursor busy;
            handler();
        }
        if (trace_) trace_->Line("returned " + name);
    });
    if (queue_.Running()) return;
    // The pauses of the handlers let Qt take only non-input events from the
    // window system; the clicks, keys and close requests held back meanwhile
    // stay in the platform's own queue, which the event loop looks at only
    // when something wakes it. Wake it now, so that they are handled at once
    // and in order, as queued messages are when a handler returns.
    if (auto* dispatcher = QCoreApplication::eventDispatcher()) dispatcher->wakeUp();
}

void QtDialogWindow::Notify(std::uint16_t code, int id) {
    RunHandler([this, code, id] { dialog_.OnCommand(code, id); },
               "command " + std::to_string(code) + " " + std::to_string(id));
}

void QtDialogWindow::SystemCommand(int commandId) {
    RunHandler([this, commandId] { dialog_.OnSysCommand(commandId); },
               "system-command " + std::to_string(commandId));
}

void QtDialogWindow::FocusFirstTabStop() {
    for (const auto& built : built_.controls) {
        if (IsVisibleTabStop(*built.control)) {
            built.widget->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

int QtDialogWindow::Exec() {
    if (ended_) return result_;
    TemplateDialog& widget = *built_.dialog;
    widget.setWindowModality(Qt::ApplicationModal);
    // The window takes input: no busy cursor over it, even inside a handler.
    CursorSuspension suspended;
    const int code = widget.exec();
    return ended_ ? result_ : code;
}

void QtDialogWindow::AttachProgressLine(ProgressModel& model, int id) {
    QWidget* above = Control(id);
    if (!above || progressLine_) return;
    TemplateDialog& dialog = *built_.dialog;
    const QRect rect = above->geometry();
    const int top = rect.bottom() + 2;
    // The line goes into the margin under the control; where the margin is
    // lower than a line of text, the window grows by the difference.
    const int height = dialog.fontMetrics().height() + 1;
    const int room = dialog.height() - top - 1;
    if (height > room) dialog.setFixedHeight(dialog.height() + height - room);
    progressLine_ = new ProgressLine(model, &dialog);
    progressLine_->setGeometry(rect.x(), top, rect.width(), height);
}

void QtDialogWindow::OnFocusLost(const BuiltControl& control) {
    if (const std::uint16_t code = KillFocusCode(control.control->kind)) Notify(code, control.control->id);
}

bool QtDialogWindow::OnKey(QWidget* target, QKeyEvent* event) {
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
        case Qt::Key_Escape:
            if (modifiers != Qt::NoModifier) return false;
            Notify(platform::kBnClicked, platform::kIdCancel);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (modifiers != Qt::NoModifier) return false;
            OnEnter(target);
            return true;
        case Qt::Key_Space:
            if (modifiers != Qt::AltModifier) return false;
            ShowWindowMenu(built_.dialog->mapToGlobal(QPoint(0, 0)));
            return true;
        default:
            return false;
    }
}

void QtDialogWindow::OnEnter(QWidget* target) {
    const BuiltControl* focused = nullptr;
    for (const auto& built : built_.controls)
        if (built.widget == target) focused = &built;
    if (focused) {
        const res::ControlTemplate& control = *focused->control;
        if (control.kind == ControlKind::Button) {
            Notify(platform::kBnClicked, control.id);
            return;
        }
        if (control.kind == ControlKind::ComboBox) {
            // Take the typed name: the focus moves on to the next tab stop.
            const auto& controls = built_.controls;
            const auto at = static_cast<std::size_t>(focused - controls.data());
            for (std::size_t step = 1; step < controls.size(); ++step) {
                const BuiltControl& next = controls[(at + step) % controls.size()];
                if (IsVisibleTabStop(*next.control)) {
                    next.widget->setFocus(Qt::TabFocusReason);
                    return;
                }
            }
            return;
        }
        if (control.kind == ControlKind::Edit && (control.style & res::kWantReturn)) return;
    }
    if (const int id = DefaultButtonId()) Notify(platform::kBnClicked, id);
}

int QtDialogWindow::DefaultButtonId() const {
    for (const auto& built : built_.controls) {
        const res::ControlTemplate& control = *built.control;
        if (control.kind == ControlKind::Button && (control.style & res::kDefPushButton) &&
            (control.style & res::kVisible))
            return control.id;
    }
    return 0;
}

}  // namespace orlax::gui

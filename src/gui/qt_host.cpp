#include "gui/qt_host.h"

#include <QTimer>

#include "res/control_ids.h"
#include "gui/about_box.h"
#include "gui/busy_cursor.h"
#include "gui/event_trace.h"
#include "gui/message_presenter.h"
#include "gui/qt_dialog_window.h"
#include "platform/dialog.h"
#include "res/dialog_templates.h"
#include "res/string_table.h"

namespace orlax::gui {
namespace {

// "shown <template> <native window id>", then "control <id> <x> <y> <width>
// <height>" for each control with an id, placed within the window.
void TraceShown(EventTrace& trace, const QtDialogWindow& window) {
    trace.Line("shown " + std::to_string(window.Template().id) + " " + std::to_string(window.Widget().winId()));
    const QWidget& top = window.Widget();
    for (const BuiltControl& built : window.Built().controls) {
        if (built.control->id == res::kIdStatic) continue;
        const QPoint at = built.widget->mapTo(&top, QPoint(0, 0));
        trace.Line("control " + std::to_string(built.control->id) + " " + std::to_string(at.x()) + " " +
                   std::to_string(at.y()) + " " + std::to_string(built.widget->width()) + " " +
                   std::to_string(built.widget->height()));
    }
}

}  // namespace

QtHost::QtHost(MessagePresenter& presenter, ProgressModel* progress, std::string programVersion)
    : presenter_(presenter), progress_(progress), programVersion_(std::move(programVersion)) {}

int QtHost::RunModal(platform::Dialog& dialog) {
    const res::DialogTemplate* dialogTemplate = res::FindDialogTemplate(dialog.TemplateId());
    if (!dialogTemplate) {
        if (dialog.TemplateId() != res::kAboutTemplate) return -1;
        ShowAbout();
        return platform::kIdOk;
    }

    QWidget* owner = stack_.empty() ? nullptr : &stack_.back()->Widget();
    QtDialogWindow window(*dialogTemplate, dialog, owner);
    window.SetTrace(trace_);
    if (progress_ && (dialogTemplate->style & res::kAppWindow))
        window.AttachProgressLine(*progress_, res::main_window::kLog);
    stack_.push_back(&window);
    dialog.Attach(&window);

    bool focusFirstTabStop = false;
    window.RunHandler([&] { focusFirstTabStop = dialog.OnInitDialog(); },
                      "init " + std::to_string(dialogTemplate->id));
    if (!window.Ended() && focusFirstTabStop) window.FocusFirstTabStop();

    if (!window.Ended()) {
        QTimer::singleShot(0, &window.Widget(), [this, &window] {
            window.Widget().activateWindow();
            if (trace_) TraceShown(*trace_, window);
            if (shown_) shown_(window);
        });
    }
    const int result = window.Exec();
    if (trace_) trace_->Line("closed " + std::to_string(dialogTemplate->id) + " " + std::to_string(result));

    dialog.Attach(nullptr);
    stack_.pop_back();
    return result;
}

int QtHost::MessageBox(std::string_view text, std::string_view caption, unsigned type) {
    QWidget* owner = nullptr;
    if (const QtDialogWindow* top = Topmost(); top && top->Widget().isVisible()) owner = &top->Widget();
    CursorSuspension suspended;
    return presenter_.ShowMessage(owner, caption, text, type);
}

void QtHost::ShowAbout() {
    const res::DialogTemplate* main = res::FindDialogTemplate(res::kMainWindowTemplate);
    const AboutText about = MakeAboutText(res::LoadString(res::kIdsAboutBox),
                                          main ? main->caption : std::string_view{}, programVersion_);
    QWidget* owner = Topmost() ? &Topmost()->Widget() : nullptr;
    CursorSuspension suspended;
    presenter_.ShowAbout(owner, about.caption, about.text);
}

}  // namespace orlax::gui

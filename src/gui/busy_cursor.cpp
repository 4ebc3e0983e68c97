#include "gui/busy_cursor.h"

#include <QGuiApplication>

namespace orlax::gui {
namespace {

bool HaveGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()); }

}  // namespace

BusyCursor::BusyCursor() {
    if (!HaveGuiApplication()) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    set_ = true;
}

BusyCursor::~BusyCursor() {
    if (set_) QGuiApplication::restoreOverrideCursor();
}

CursorSuspension::CursorSuspension() {
    if (!HaveGuiApplication()) return;
    while (const QCursor* cursor = QGuiApplication::overrideCursor()) {
        lifted_.push_back(*cursor);
        QGuiApplication::restoreOverrideCursor();
    }
}

CursorSuspension::~CursorSuspension() {
    for (auto it = lifted_.rbegin(); it != lifted_.rend(); ++it) QGuiApplication::setOverrideCursor(*it);
}

}  // namespace orlax::gui

// Counts the paint events of the widgets it is installed on.
#pragma once

#include <QEvent>
#include <QObject>

namespace orlax::testing {

class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

}  // namespace orlax::testing

#include "gui/progress_line.h"

#include <QPainter>

#include "gui/progress_model.h"

namespace orlax::gui {

ProgressLine::ProgressLine(ProgressModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // Painted at once: the operation that changes it does not return to the
    // event loop until it is done.
    model_.SetChanged([this] { repaint(); });
}

ProgressLine::~ProgressLine() { model_.SetChanged(nullptr); }

void ProgressLine::paintEvent(QPaintEvent* /*event*/) {
    if (!model_.Active()) return;
    QPainter painter(this);
    const QString text = QString::fromStdString(model_.Text());
    // Without a bar the text may take the whole line.
    const int room = model_.Permille() < 0 ? width() : width() / 2;
    const int textWidth = std::min(room, painter.fontMetrics().horizontalAdvance(text));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(0, 0, textWidth, height()), Qt::AlignLeft | Qt::AlignVCenter, text);

    // The bar fills the rest of the line, a few pixels high.
    if (model_.Permille() < 0) return;
    const int gap = 6;
    const int barHeight = std::max(3, height() / 3);
    const QRect track(textWidth + gap, (height() - barHeight) / 2, width() - textWidth - gap, barHeight);
    if (track.width() <= 0) return;
    painter.fillRect(track, palette().color(QPalette::Mid));
    QRect done = track;
    done.setWidth(track.width() * model_.Permille() / 1000);
    painter.fillRect(done, palette().color(QPalette::Highlight));
}

}  // namespace orlax::gui

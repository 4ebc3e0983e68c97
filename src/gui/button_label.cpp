#include "gui/button_label.h"

#include <QStringList>

namespace orlax::gui {

QString WrapLabel(const QString& text, const QFontMetrics& metrics, int width) {
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QStringList lines;
    QString line;
    for (const QString& word : words) {
        const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (line.isEmpty() || metrics.horizontalAdvance(candidate) <= width) {
            line = candidate;
        } else {
            lines.append(line);
            line = word;
        }
    }
    if (!line.isEmpty()) lines.append(line);
    return lines.join(QLatin1Char('\n'));
}

}  // namespace orlax::gui

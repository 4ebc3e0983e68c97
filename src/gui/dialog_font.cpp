#include "gui/dialog_font.h"

#include <QFontMetrics>
#include <QString>
#include <QStringList>

namespace orlax::gui {
namespace {

constexpr std::string_view kTemplateFont = "MS Sans Serif";

// Sans-serif faces whose base units come close to the template font's
// (6 by 13 pixels at 8 point), best first; the first one installed is taken,
// else the system's sans-serif.
const QStringList& StandInFamilies() {
    static const QStringList families{"Liberation Sans", "Arimo", "DejaVu Sans", "Nimbus Sans"};
    return families;
}

}  // namespace

QFont DialogFont(std::string_view name, int pointSize) {
    QFont font;
    if (name == kTemplateFont) {
        font.setFamilies(StandInFamilies());
    } else {
        QStringList families{QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))};
        families.append(StandInFamilies());
        font.setFamilies(families);
    }
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize > 0 ? pointSize : 8);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    return font;
}

BaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return BaseUnitsFrom(letters, metrics.height());
}

}  // namespace orlax::gui

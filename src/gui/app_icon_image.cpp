#include "gui/app_icon_image.h"

#include <QPixmap>

#include "res/app_icon.h"

namespace orlax::gui {

QImage AppIconImage() {
    QImage image(res::kAppIconSize, res::kAppIconSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const auto& palette = res::AppIconPalette();
    for (int y = 0; y < res::kAppIconSize; ++y) {
        for (int x = 0; x < res::kAppIconSize; ++x) {
            if (const auto index = res::AppIconPixel(x, y)) {
                const res::Rgb& c = palette[static_cast<std::size_t>(*index)];
                image.setPixel(x, y, qRgb(c.r, c.g, c.b));
            }
        }
    }
    return image;
}

QIcon AppIcon() {
    QIcon icon;
    const QImage image = AppIconImage();
    icon.addPixmap(QPixmap::fromImage(image));
    // The small icon: the same picture at half size.
    icon.addPixmap(QPixmap::fromImage(image.scaled(16, 16, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    return icon;
}

}  // namespace orlax::gui

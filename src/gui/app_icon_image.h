// Icon 128 as an image and as the window icon.
#pragma once

#include <QIcon>
#include <QImage>

namespace orlax::gui {

// 32 by 32, ARGB, transparent where the icon is.
QImage AppIconImage();
QIcon AppIcon();

}  // namespace orlax::gui

// Writes icon 128 as a PNG file, for installing with the desktop file.
#include <QImage>
#include <iostream>

#include "gui/app_icon_image.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: orlax-icon-png OUTPUT.png\n";
        return 2;
    }
    if (!orlax::gui::AppIconImage().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::cerr << "orlax-icon-png: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}

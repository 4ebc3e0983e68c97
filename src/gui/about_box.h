// The About box: the program's title and version. The resources hold no
// About template (res::kAboutTemplate), so the desktop host shows this box
// when the main window's About command asks for that dialog.
#pragma once

#include <string>
#include <string_view>

namespace orlax::gui {

struct AboutText {
    std::string caption;  // "About ..." from the menu entry
    std::string text;     // title, the unit program's version, this port's version
};

// From the About menu entry ("&About name..."), the main window's caption
// ("TITLE   VER x  date") and this program's version.
AboutText MakeAboutText(std::string_view menuEntry, std::string_view mainCaption,
                        std::string_view programVersion);

}  // namespace orlax::gui

#include "gui/about_box.h"

namespace orlax::gui {
namespace {

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

AboutText MakeAboutText(std::string_view menuEntry, std::string_view mainCaption,
                        std::string_view programVersion) {
    AboutText about;
    // The entry without its access-key marks and trailing dots.
    for (std::size_t i = 0; i < menuEntry.size(); ++i) {
        if (menuEntry[i] == '&') {
            if (i + 1 < menuEntry.size() && menuEntry[i + 1] == '&') about.caption += menuEntry[++i];
            continue;
        }
        about.caption += menuEntry[i];
    }
    while (!about.caption.empty() && about.caption.back() == '.') about.caption.pop_back();
    if (about.caption.empty()) about.caption = "About";

    // The caption's title ends where its first run of two or more spaces starts.
    const auto gap = mainCaption.find("  ");
    const std::string_view title = Trim(mainCaption.substr(0, gap));
    const std::string_view version =
        gap == std::string_view::npos ? std::string_view{} : Trim(mainCaption.substr(gap));
    about.text = std::string(title);
    if (!version.empty()) about.text += "\n" + std::string(version);
    about.text += "\n\nDesktop program " + std::string(programVersion);
    return about;
}

}  // namespace orlax::gui

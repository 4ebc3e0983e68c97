// Shows message boxes and the About box. The host asks it; tests put one in
// that records the boxes and confirms them, without a real modal box.
#pragma once

#include <string_view>

class QWidget;

namespace orlax::gui {

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;

    // A box with `caption`, `text` and one OK button over `owner` (may be
    // null); `type` holds the window system's box type bits (icon, foreground).
    // Returns the button pressed.
    virtual int ShowMessage(QWidget* owner, std::string_view caption, std::string_view text,
                            unsigned type) = 0;
    // The About box: the program's title and version.
    virtual void ShowAbout(QWidget* owner, std::string_view caption, std::string_view text) = 0;
};

// Real, modal boxes.
class QtMessagePresenter final : public MessagePresenter {
public:
    int ShowMessage(QWidget* owner, std::string_view caption, std::string_view text,
                    unsigned type) override;
    void ShowAbout(QWidget* owner, std::string_view caption, std::string_view text) override;
};

}  // namespace orlax::gui

// The top-level widget of a window built from a template. It hands the keys
// and requests that the window system turns into commands (Enter, Escape,
// the close box, the window menu) to its owner instead of acting on them.
#pragma once

#include <QDialog>
#include <functional>

class QCloseEvent;
class QContextMenuEvent;
class QKeyEvent;

namespace orlax::gui {

class TemplateDialog final : public QDialog {
public:
    struct Requests {
        std::function<void()> close;                        // the close box
        std::function<bool(QKeyEvent*)> key;                // true: taken
        std::function<void(const QPoint& global)> windowMenu;
    };

    explicit TemplateDialog(QWidget* owner);
    void SetRequests(Requests requests) { requests_ = std::move(requests); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    Requests requests_;
};

}  // namespace orlax::gui

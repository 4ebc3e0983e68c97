#include "gui/template_dialog.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>

namespace orlax::gui {

TemplateDialog::TemplateDialog(QWidget* owner) : QDialog(owner) {}

// The close box asks; the dialog decides (it gets the Cancel command).
void TemplateDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (requests_.close) requests_.close();
}

void TemplateDialog::keyPressEvent(QKeyEvent* event) {
    if (requests_.key && requests_.key(event)) {
        event->accept();
        return;
    }
    // Enter and Escape never act behind the dialog's back.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TemplateDialog::contextMenuEvent(QContextMenuEvent* event) {
    if (requests_.windowMenu) requests_.windowMenu(event->globalPos());
    event->accept();
}

}  // namespace orlax::gui

#include "gui/message_presenter.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include "platform/dialog_host.h"

namespace orlax::gui {
namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The icon bits of a box type: none, hand, question, exclamation, asterisk.
QMessageBox::Icon IconFor(unsigned type) {
    switch (type & 0xF0u) {
        case 0x10: return QMessageBox::Critical;
        case 0x20: return QMessageBox::Question;
        case 0x30: return QMessageBox::Warning;
        case 0x40: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

}  // namespace

int QtMessagePresenter::ShowMessage(QWidget* owner, std::string_view caption, std::string_view text,
                                    unsigned type) {
    QMessageBox box(IconFor(type), ToQString(caption), ToQString(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    if (type & platform::kMbSetForeground) {
        box.show();
        box.raise();
        box.activateWindow();
    }
    box.exec();
    return platform::kIdOk;
}

void QtMessagePresenter::ShowAbout(QWidget* owner, std::string_view caption, std::string_view text) {
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), ToQString(text), QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.setIconPixmap(QApplication::windowIcon().pixmap(32, 32));
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace orlax::gui

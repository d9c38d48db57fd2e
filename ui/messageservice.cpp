#include "messageservice.h"

#include <QMessageBox>

namespace zodiara {

MessageService::Result QtMessageService::show(QWidget* owner, const QString& text, const QString& caption,
                                              Buttons buttons)
{
    if (buttons == Buttons::Ok) {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
        box.exec();
        return Result::Ok;
    }
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, owner);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Result::Yes : Result::No;
}

}  // namespace zodiara

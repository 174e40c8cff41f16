#include "app/windows/MessageBoxes.h"

#include <QMessageBox>

namespace gaisan {

void QtMessageBoxes::inform(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtMessageBoxes::ask(QWidget* parent, const QString& title, const QString& text,
                         Answers answers) {
    const bool yesNo = answers == Answers::YesNo;
    const QMessageBox::StandardButton accept = yesNo ? QMessageBox::Yes : QMessageBox::Ok;
    const QMessageBox::StandardButton decline = yesNo ? QMessageBox::No : QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, title, text, accept | decline, parent);
    box.setDefaultButton(accept);
    return box.exec() == accept;
}

}  // namespace gaisan

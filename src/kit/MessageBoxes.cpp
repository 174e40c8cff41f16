#include "kit/MessageBoxes.h"

#include "kit/MessageDialog.h"

namespace gaisan {

void QtMessageBoxes::inform(QWidget* parent, const QString& title, const QString& text) {
    MessageDialog box(parent, QMessageBox::NoIcon, title, text, QDialogButtonBox::Ok,
                      QDialogButtonBox::Ok);
    (void)box.ask();  // acknowledged however it was closed
}

bool QtMessageBoxes::ask(QWidget* parent, const QString& title, const QString& text,
                         Answers answers) {
    const bool yesNo = answers == Answers::YesNo;
    const QDialogButtonBox::StandardButton accept =
        yesNo ? QDialogButtonBox::Yes : QDialogButtonBox::Ok;
    const QDialogButtonBox::StandardButton decline =
        yesNo ? QDialogButtonBox::No : QDialogButtonBox::Cancel;
    MessageDialog box(parent, QMessageBox::Question, title, text, accept | decline, accept);
    return box.ask() == accept;
}

}  // namespace gaisan

#include "app/MessageBoxes.h"

#include <QMessageBox>

namespace gaisan {

void QtMessageBoxes::inform(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace gaisan

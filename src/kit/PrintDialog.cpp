#include "kit/PrintDialog.h"

#include <QPrintDialog>
#include <QPrinter>

namespace gaisan {

bool choosePrinterInDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace gaisan

#pragma once

#include <functional>

class QPrinter;
class QWidget;

namespace gaisan {

/// Lets the teacher choose a printer, or a PDF file, for `printer`; false when cancelled. A test
/// gives its own, which sets a PDF file without any dialog.
using PrinterChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;

/// The system's print dialog, the one every printout of the program goes through, so that a
/// machine without a printer can still print to a PDF file.
bool choosePrinterInDialog(QPrinter& printer, QWidget* parent);

}  // namespace gaisan

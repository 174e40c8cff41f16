#pragma once

#include <vector>

#include "kit/PrintDialog.h"
#include "rules/analysis/MistakeScreenTexts.h"

class QWidget;

namespace gaisan {

class MistakeAnalysisHost;

/// Prints pages of the mistake analysis on A4 through the same print dialog as the graphs, so
/// that a machine without a printer can make a PDF file: each page its heading, the counts, the
/// kinds of mistake, the week-by-week chart and then the examples of a student's page or the
/// class summary's student rows, which go on to a further page when they do not fit.
class MistakeAnalysisPrinter {
public:
    explicit MistakeAnalysisPrinter(MistakeAnalysisHost& host);

    /// False when the teacher cancelled, there was nothing to print, or the print could not
    /// start (which the host is told).
    bool print(QWidget* parent, const std::vector<AnalysisPage>& pages);
    /// Replaces the system's print dialog, for tests.
    void setPrinterChooser(PrinterChooser chooser) { m_choosePrinter = std::move(chooser); }

private:
    MistakeAnalysisHost& m_host;
    PrinterChooser m_choosePrinter;
};

}  // namespace gaisan

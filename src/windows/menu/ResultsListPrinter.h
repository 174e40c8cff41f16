#pragma once

#include <string>
#include <vector>

#include "kit/PrintDialog.h"
#include "rules/menu/ListPrintout.h"

class QWidget;

namespace gaisan {

class GraphPanelHost;

/// "一覧を印刷" of the teacher's maintenance panel: prints the lists the level menu shows, under
/// their title, on as many A4 pages as they need, through the same print dialog as the graphs.
/// Rows keep the menu's fixed layout: they are printed in the program's font, whose full-width
/// characters are exactly two half-width ones, so that the columns stay aligned on paper.
class ResultsListPrinter {
public:
    explicit ResultsListPrinter(GraphPanelHost& host);

    /// False when the teacher cancelled or nothing could be printed (which the host is told).
    bool print(QWidget* parent, const std::vector<std::string>& title,
               const std::vector<PrintedLevel>& levels);
    /// Replaces the system's print dialog, for tests.
    void setPrinterChooser(PrinterChooser chooser) { m_choosePrinter = std::move(chooser); }

private:
    GraphPanelHost& m_host;
    PrinterChooser m_choosePrinter;
};

}  // namespace gaisan

#pragma once

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "base/LoadedRecords.h"
#include "rules/menu/ProgressGraph.h"

class QPrinter;

namespace gaisan {

class DesignCanvas;
class GraphView;
class GraphPanelHost;

/// The level menu's graph panel (Picture11): a student's progress graphs, three levels to a
/// screen, with the levels to draw, any other student of the roster, and for the teacher
/// printing, one student after another, each from a new page.
class GraphPanel : public QWidget {
    Q_OBJECT

public:
    /// Lets the teacher choose a printer, or a PDF file, for `printer`; false when cancelled.
    using PrinterChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;
    /// The grade band the menu shows.
    using BandOf = std::function<std::string()>;

    GraphPanel(GraphPanelHost& host, DesignCanvas& canvas, BandOf band);

    /// "グラフ": opens the panel for the logged-in student with levels 1 to 3 and draws them.
    void Command17_Click();
    /// "戻る": hides the panel.
    void Command18_Click();
    /// Fills the level list with 1..LevelCount, for the personal view.
    void fillLevelList();
    /// Rebuilds the student list from the roster file.
    void fillStudentList();
    /// Replaces the system's print dialog, for tests.
    void setPrinterChooser(PrinterChooser chooser) { m_choosePrinter = std::move(chooser); }

    int graphStudent() const { return m_graphStudent; }
    GraphView& view() const { return *m_picture12; }

private slots:
    void Command25_Click();
    void List2_Click();
    void List3_Click();
    /// Draws (0) or prints (1) the chosen levels of the chosen students.
    void Command24_Click(int index);

private:
    /// The chosen levels of `m_graphStudent` on the screen.
    void drawOnScreen();
    /// The chosen levels of each chosen student on the printer; false when nothing was printed.
    bool print();
    /// The students chosen in the student list, top to bottom, or the current one.
    std::vector<int> chosenStudents() const;
    std::vector<int> chosenLevels() const;
    GraphRequest requestFor(int student) const;
    /// The student's ranks and points on `level`, from the level's time and points rankings.
    LevelStatistics statisticsOf(int student, int level) const;
    /// The newest records of the results file; false when the program ends.
    [[nodiscard]] bool readRecords();
    void tellLevelsNotDrawn(const std::vector<int>& levels);

    GraphPanelHost& m_flow;
    DesignCanvas& m_canvas;
    BandOf m_band;
    PrinterChooser m_choosePrinter;
    int m_graphStudent = 0;
    std::vector<LoadedRecord> m_records;
    GraphView* m_picture12;
    QListWidget* m_list3;
    QListWidget* m_list2;
    QPushButton* m_command25;
    QPushButton* m_command24Show;
    QPushButton* m_command24Print;
    QPushButton* m_command18;
    QLabel* m_label27;
    QLabel* m_levelsNote;
};

}  // namespace gaisan

#pragma once

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include <optional>
#include <string>
#include <vector>

#include "kit/DesignCanvas.h"
#include "rules/analysis/MistakeScreenTexts.h"
#include "windows/analysis/MistakeAnalysisPrinter.h"

namespace gaisan {

class MistakeAnalysisHost;
class TrendView;

/// The teacher's "つまずき分析": on the left the students (a grade band, or some of its
/// students), the levels and the period; on the right, for the group or one student, the
/// counts, the kind of mistake that most needs work, the kinds found, the seconds per problem,
/// the week-by-week chart and the newest examples of a chosen kind, to show the child. It prints
/// one page per student or the class summary, and returns to the level menu with "戻る".
class MistakeAnalysisWindow : public DesignCanvas {
    Q_OBJECT

public:
    explicit MistakeAnalysisWindow(MistakeAnalysisHost& host);

    /// Reads the roster and fills the choices.
    void Form_Load();
    /// "分析する": reads the answers of the chosen students, levels and period.
    void analyse();
    /// Shows the summary of entry `index` of the subject box: 0 the group, then the students.
    void showSubject(int index);
    /// "生徒ごとに印刷": a page for each chosen student.
    bool printStudentPages();
    /// "まとめを印刷": the class summary.
    bool printSummaryPage();

    const std::optional<MistakeAnalysis>& analysis() const { return m_analysis; }
    void setPrinterChooser(PrinterChooser chooser) {
        m_printer.setPrinterChooser(std::move(chooser));
    }

private:
    struct RosterStudent {
        int student = 0;
        int grade = 0;
        std::string name;
    };

    void fillStudentList();
    void showExamples();
    void showWeakest(const QString& text);
    const MistakeSummary& shownSummary() const;

    MistakeAnalysisHost& m_host;
    MistakeAnalysisPrinter m_printer;
    std::vector<RosterStudent> m_roster;
    std::optional<MistakeAnalysis> m_analysis;
    std::vector<ChosenStudent> m_chosen;
    std::string m_groupTitle;
    std::string m_scopeText;
    int m_lastDay = 0;

    QComboBox* m_bandBox;
    QListWidget* m_studentList;
    QListWidget* m_levelList;
    QComboBox* m_periodBox;
    QPushButton* m_analyseButton;
    QComboBox* m_subjectBox;
    QLabel* m_scopeLabel;
    QLabel* m_countsLabel;
    QLabel* m_weakestLabel;
    QLabel* m_timesLabel;
    QTableWidget* m_kindTable;
    TrendView* m_trendView;
    QComboBox* m_exampleKindBox;
    QTableWidget* m_exampleTable;
    QLabel* m_notesLabel;
    QPushButton* m_printStudentsButton;
    QPushButton* m_printSummaryButton;
    QPushButton* m_backButton;
};

}  // namespace gaisan

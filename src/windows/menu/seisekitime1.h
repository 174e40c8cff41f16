#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>

#include <cstdint>
#include <vector>

#include "kit/DesignCanvas.h"
#include "rules/menu/Ranking.h"
#include "rules/menu/ResultsViews.h"
#include "rules/menu/RunLists.h"
#include "windows/menu/ResultsCsvSaver.h"
#include "windows/menu/ResultsListPrinter.h"

namespace gaisan {

class GraphPanel;
class LevelColumn;
class MaintenancePanel;
class MenuHost;
class OptionRow;
class PasscodeDialog;

/// The level menu, the logged-in student's home screen: one column per level with its name,
/// start button, criteria, the student's counts and points and a results list, switched between
/// the school's rankings and lists of runs. It is created afresh for every visit, so it always
/// shows the counts after the last run. The columns (LevelColumn), the view and list options
/// (two OptionRows), the graph panel and the maintenance panel are widgets of their own; the
/// menu composes them and decides what each click builds.
class seisekitime1 : public DesignCanvas {
    Q_OBJECT

public:
    explicit seisekitime1(MenuHost& host);

    void Form_Load();
    void Form_Activate();

    /// Starts level `level` when its button is enabled.
    void Command4_Click(int level);
    void Label3_Click(int level);
    /// Back to the name-selection screen.
    void Command1_Click();
    /// The level-availability refresh: enables the open levels and marks over-used ones.
    void Command9_Click();
    /// "データ処理": when the data folder holds a teacher's passcode, asks for it first, once
    /// until the menu is left for the name list or a run (a damaged passcode file keeps the
    /// panel shut); then the teacher's maintenance panel, in front of everything, and once what
    /// keeps the results file from being shared or backed up.
    void Command8_Click();

    /// Switches to view 0 (times), 1 (points) or 2 (the student's own runs) and builds its list.
    void Option2_Click(int index);
    /// Builds list option `index` (1..3) of the current view.
    void Option1_Click(int index);
    /// A new grade band: the current view again, with the band applied.
    void Combo1_Click();
    /// A new period: the period's runs again, when they are the list shown.
    void Combo2_Click();
    /// Pages the level columns from the scroll bar's value.
    void HScroll1_Change();

    /// The ranking of one level into its list, in the current view.
    void Command3_Click(int level);
    /// The best-time rankings of every level.
    void Command6_Click();
    /// Today's runs of every student. False when the results file failed and the program ends.
    [[nodiscard]] bool Command5_Click();
    /// Every run of the chosen period. False when the program ends.
    [[nodiscard]] bool Command7_Click();
    /// The logged-in student's own runs. False when the program ends.
    [[nodiscard]] bool Command16_Click();

    /// Headings "今日" and "今まで" over every list, and every list emptied.
    void 回数など表示();
    /// No row selected in any list.
    void 成績リスト色表示();
    /// No row selected in the list of `level`.
    void 成績リスト色表示単独(int level);

    bool menuReady() const { return m_menuReady; }
    /// The maintenance panel's spreadsheet export, whose save dialog a test replaces.
    ResultsCsvSaver& csvSaver() { return m_csvSaver; }
    /// The maintenance panel's printed lists, whose print dialog a test replaces.
    ResultsListPrinter& listPrinter() { return m_listPrinter; }
    /// "一覧を印刷": the lists shown now, under a title saying which they are.
    void printLists();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildHeader();
    void buildSelectors();
    void buildWaitPanels();
    void buildColumn(int level, int width);
    /// A click on list option `option`.
    void listChosen(int option);
    /// Takes a key seen by any control of the window first; true when it was used.
    bool Form_KeyPress(const QString& key);
    void showBusy(bool busy);
    /// The menu is about to give way to another screen: nothing that starts a screen change is
    /// left to press, and the wait panel shows.
    void leaving();
    /// The right passcode was typed: the host remembers it for the visit, and the panel opens.
    void openAfterPasscode(const std::string& countProblem);
    /// Shows the maintenance panel once the teacher is known to be the one asking.
    void showMaintenancePanel();

    /// Builds `list` into the level lists; false when the program ends.
    [[nodiscard]] bool buildList(ResultsList list);
    /// The points rankings of every level, by m_pointsBasis.
    void rankEveryLevel();
    /// Reads a run list from the results file into the level lists; false when the program ends.
    [[nodiscard]] bool fillRunList(RunList list);
    /// Nothing that could start another build or a run stays usable while a list is built;
    /// the lists are hidden behind the wait panel.
    void beginListBuild();
    /// The controls usable again, the level buttons as the student's progress allows, and the
    /// lists of every level but the practice levels shown.
    void finishListBuild();
    /// The view and list options and the band and period boxes.
    void setSelectorsEnabled(bool enabled);
    void setListProgress(std::uint64_t value, std::uint64_t maximum);

    MenuHost& m_flow;
    ResultsCsvSaver m_csvSaver;
    ResultsListPrinter m_listPrinter;
    bool m_menuReady = false;
    /// The list the level lists hold, for the printed title.
    ResultsList m_shownList = ResultsList::TotalPoints;
    RankingView m_viewMode = RankingView::Time;
    PointsBasis m_pointsBasis = PointsBasis::Total;
    int m_columnWidth = 0;
    std::vector<LevelColumn*> m_columns;
    QWidget* m_columnArea = nullptr;
    QLabel* m_label5 = nullptr;
    QLabel* m_label11 = nullptr;
    QLabel* m_label12 = nullptr;
    QLabel* m_label13 = nullptr;
    QLabel* m_label17 = nullptr;
    QLabel* m_label18 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command8 = nullptr;
    QPushButton* m_command17 = nullptr;
    OptionRow* m_picture5 = nullptr;  // the views, Option2_0..2
    OptionRow* m_picture1 = nullptr;  // the lists of the view, Option1_1..3
    QComboBox* m_combo1 = nullptr;
    QComboBox* m_combo2 = nullptr;
    QScrollBar* m_hScroll1 = nullptr;
    QWidget* m_picture2 = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QWidget* m_picture6 = nullptr;
    QProgressBar* m_progressBar2 = nullptr;
    MaintenancePanel* m_picture7 = nullptr;
    QPointer<PasscodeDialog> m_passcodeDialog;
    GraphPanel* m_graphPanel = nullptr;
};

}  // namespace gaisan

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include <memory>

#include "admin/AdminFlow.h"
#include "admin/FrmData.h"
#include "admin/FrmTimeData.h"
#include "app/AppState.h"
#include "app/ProgramFont.h"
#include "app/QtConversions.h"
#include "platform/PosixRecordFile.h"
#include "records/RecordsAdministration.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/RecordingMessageBoxes.h"
#include "support/Screenshots.h"
#include "support/TempFolder.h"

namespace gaisan {

/// The administration screens on their own: a copy of the demo data root, the school's settings
/// as the demo has them, and a way back that only counts.
class AdminFlowForTests final : public AdminFlow {
public:
    AdminFlowForTests() {
        std::filesystem::copy(std::filesystem::path(GAISAN_DEMO_DIR) / "data", folder / "data",
                              std::filesystem::copy_options::recursive);
        m_state->locations.DataRoot = (folder / "data").string() + "/";
        m_state->locations.ProgramDataFolder = (folder / "data/gaisan").string() + "/";
        m_state->common.YearChangeMonth = 4;
        m_state->common.SchoolName = "さくら学習塾";
        m_state->common.SchoolCode = "12345";
        m_state->profile.LevelCount = 4;
        LoadCriteriaTable(criteriaFile(), m_state->criteria, 4);
    }

    AppState& state() override { return *m_state; }
    const Clock& clock() const override { return m_clock; }
    MessageBoxes& boxes() override { return messageBoxes; }
    void waitResponsively(int) override {}
    void backToMenu() override { ++menusShown; }

    std::filesystem::path resultsFile() const { return folder / "data/gaisan/成績累積データ.dat"; }
    std::filesystem::path criteriaFile() const {
        return folder / "data/gaisan/タイム回数データ.txt";
    }

    testing::TempFolder folder;
    testing::RecordingMessageBoxes messageBoxes;
    int menusShown = 0;

private:
    std::unique_ptr<AppState> m_state = std::make_unique<AppState>();
    testing::FakeClock m_clock{{2026, 12, 10}, 10 * 3600.0};
};

namespace {

template <typename Widget>
Widget* child(QWidget* window, const QString& name) {
    Widget* found = window->findChild<Widget*>(name);
    if (!found) qFatal("no control %s", qPrintable(name));
    return found;
}

QString lineOf(QListView* list, int row) { return list->model()->index(row, 0).data().toString(); }

void doubleClick(QListView* list, int row) {
    list->setCurrentIndex(list->model()->index(row, 0));
    emit list->doubleClicked(list->currentIndex());
}

}  // namespace

class AdminWindowsTest : public QObject {
    Q_OBJECT

private:
    /// A browser over ten runs of students 1 to 5 on level 1, times 10, 20, ... 100 seconds.
    static std::unique_ptr<FrmData> browserOverTenRuns(AdminFlowForTests& flow) {
        std::vector<ResultRecord> runs;
        for (int n = 1; n <= 10; ++n)
            runs.push_back(testing::runRecord(1 + (n - 1) % 5, 1, 10 * n));
        testing::appendRecords(flow.resultsFile(), runs);
        auto browser = std::make_unique<FrmData>(flow);
        browser->resize(1024, 768);
        browser->Form_Load();
        browser->show();
        return browser;
    }
    static std::vector<int> timesIn(const std::filesystem::path& file) {
        std::vector<int> times;
        for (const ResultRecord& record : testing::recordsIn(file))
            times.push_back(record.ResultSeconds);
        return times;
    }

private slots:
    void initTestCase() { applyProgramFont(); }

    void theBrowserListsEveryRecordAndOpensOneForEditing() {
        AdminFlowForTests flow;
        auto browser = browserOverTenRuns(flow);
        auto* list = child<QListView>(browser.get(), QStringLiteral("List1"));
        QCOMPARE(list->model()->rowCount(), 10);
        QCOMPARE(
            lineOf(list, 2),
            QStringLiteral(
                "   3 2026/12/10　 12:00:00ﾚﾍﾞﾙ1　   30秒 　   3 髙橋　健　　 小４++さくら学習塾"));
        QVERIFY(!child<QPushButton>(browser.get(), QStringLiteral("Command2"))->isEnabled());
        QVERIFY(!child<QWidget>(browser.get(), QStringLiteral("Picture3"))->isVisible());

        doubleClick(list, 2);
        QVERIFY(child<QWidget>(browser.get(), QStringLiteral("Picture3"))->isVisible());
        QCOMPARE(browser->selectedRecordNo(), 3u);
        QCOMPARE(child<QLabel>(browser.get(), QStringLiteral("Label1"))->text(),
                 QStringLiteral("3"));
        QCOMPARE(child<QLabel>(browser.get(), QStringLiteral("Label2_1"))->text(),
                 QStringLiteral("ﾚﾍﾞﾙ1"));
        QCOMPARE(child<QLabel>(browser.get(), QStringLiteral("Label2_2"))->text(),
                 QStringLiteral("2026/12/10"));
        QCOMPARE(child<QLabel>(browser.get(), QStringLiteral("Label2_4"))->text(),
                 QStringLiteral("小４"));
        QCOMPARE(child<QLineEdit>(browser.get(), QStringLiteral("Text1_1"))->text(),
                 QStringLiteral("30"));
        QCOMPARE(child<QScrollBar>(browser.get(), QStringLiteral("VScroll1"))->value(), 30);
        auto* chooser = child<QComboBox>(browser.get(), QStringLiteral("Combo1"));
        QCOMPARE(chooser->currentText(), QStringLiteral("3 /  髙橋　健"));
        QCOMPARE(chooser->itemText(0), QStringLiteral("1 /  佐藤　陽菜"));
        QVERIFY(child<QPushButton>(browser.get(), QStringLiteral("Command2"))->isEnabled());
        testing::saveScreenshot(*browser, QStringLiteral("records-browser"));

        // The chooser names another student: the grade label follows; the scroll bar steps the
        // time.
        chooser->setCurrentIndex(1);
        emit chooser->activated(1);
        QCOMPARE(child<QLabel>(browser.get(), QStringLiteral("Label2_4"))->text(),
                 QStringLiteral("小２"));
        child<QScrollBar>(browser.get(), QStringLiteral("VScroll1"))
            ->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(child<QLineEdit>(browser.get(), QStringLiteral("Text1_1"))->text(),
                 QStringLiteral("40"));

        // A click on any line closes the panel.
        emit list->clicked(list->model()->index(5, 0));
        QVERIFY(!child<QWidget>(browser.get(), QStringLiteral("Picture3"))->isVisible());
    }

    void aWriteBackChangesOnlyTheTimeAndStudentAndSelectsTheRecord() {
        AdminFlowForTests flow;
        auto browser = browserOverTenRuns(flow);
        const ResultRecord before = testing::recordsIn(flow.resultsFile())[3];
        auto* list = child<QListView>(browser.get(), QStringLiteral("List1"));
        doubleClick(list, 3);
        child<QLineEdit>(browser.get(), QStringLiteral("Text1_1"))
            ->setText(QStringLiteral("７７"));  // full width
        child<QComboBox>(browser.get(), QStringLiteral("Combo1"))
            ->setEditText(QStringLiteral("2 /  鈴木　蓮"));
        child<QPushButton>(browser.get(), QStringLiteral("Command2"))->click();
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{0});
        const ResultRecord after = testing::recordsIn(flow.resultsFile())[3];
        QCOMPARE(after.ResultSeconds, 77);
        QCOMPARE(after.StudentIndex, std::int16_t{2});
        QCOMPARE(after.RecordDate, before.RecordDate);
        QCOMPARE(after.RecordClock, before.RecordClock);
        QCOMPARE(after.LevelIndex, before.LevelIndex);
        QCOMPARE(after.SchoolCode, before.SchoolCode);
        QCOMPARE(list->currentIndex().row(), 3);
        QVERIFY(lineOf(list, 3).contains(QStringLiteral("   77秒")));
        QVERIFY(!child<QWidget>(browser.get(), QStringLiteral("Picture3"))->isVisible());
    }

    void aWriteBackOfATimeOrStudentThatWouldHarmIsRefused_data() {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<QString>("chooser");
        QTest::newRow("not a number") << QStringLiteral("7x") << QStringLiteral("2 /  鈴木　蓮");
        QTest::newRow("beyond the time-up mark")
            << QStringLiteral("100000") << QStringLiteral("2 /  鈴木　蓮");
        QTest::newRow("no such student") << QStringLiteral("50") << QStringLiteral("4999 /");
        QTest::newRow("a name typed by hand") << QStringLiteral("50") << QStringLiteral("鈴木　蓮");
    }
    void aWriteBackOfATimeOrStudentThatWouldHarmIsRefused() {
        QFETCH(QString, seconds);
        QFETCH(QString, chooser);
        AdminFlowForTests flow;
        auto browser = browserOverTenRuns(flow);
        const std::string before = testing::readBytes(flow.resultsFile());
        doubleClick(child<QListView>(browser.get(), QStringLiteral("List1")), 0);
        child<QLineEdit>(browser.get(), QStringLiteral("Text1_1"))->setText(seconds);
        child<QComboBox>(browser.get(), QStringLiteral("Combo1"))->setEditText(chooser);
        child<QPushButton>(browser.get(), QStringLiteral("Command2"))->click();
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{1});
        QVERIFY(flow.messageBoxes.shown[0].text.contains(QStringLiteral("記録は変えていません")));
        QCOMPARE(testing::readBytes(flow.resultsFile()), before);
        QVERIFY(child<QWidget>(browser.get(), QStringLiteral("Picture3"))->isVisible());
    }

    void aDeleteAsksThenSelectsTheRecordThatMovedUp() {
        AdminFlowForTests flow;
        auto browser = browserOverTenRuns(flow);
        auto* list = child<QListView>(browser.get(), QStringLiteral("List1"));
        doubleClick(list, 2);
        flow.messageBoxes.answers = {false};
        child<QPushButton>(browser.get(), QStringLiteral("Command3"))->click();
        QCOMPARE(flow.messageBoxes.shown.back().title, QStringLiteral("注意"));
        QCOMPARE(flow.messageBoxes.shown.back().text, QStringLiteral("本当に消去しますか"));
        QCOMPARE(timesIn(flow.resultsFile()).size(), std::size_t{10});

        child<QPushButton>(browser.get(), QStringLiteral("Command3"))->click();
        QCOMPARE(timesIn(flow.resultsFile()),
                 (std::vector<int>{10, 20, 40, 50, 60, 70, 80, 90, 100}));
        QCOMPARE(list->model()->rowCount(), 9);
        QCOMPARE(list->currentIndex().row(), 2);
        QVERIFY(lineOf(list, 2).startsWith(QStringLiteral("   3 ")));
        QVERIFY(lineOf(list, 2).contains(QStringLiteral("   40秒")));
        QVERIFY(!std::filesystem::exists(flow.folder / "data/gaisan/成績累積データtemp.dat"));

        // The last record: the new last line is selected.
        doubleClick(list, 8);
        child<QPushButton>(browser.get(), QStringLiteral("Command3"))->click();
        QCOMPARE(list->model()->rowCount(), 8);
        QCOMPARE(list->currentIndex().row(), 7);
    }

    void aRecordChangedByAnotherTeacherMeanwhileIsLeftAlone() {
        AdminFlowForTests flow;
        auto browser = browserOverTenRuns(flow);
        auto* list = child<QListView>(browser.get(), QStringLiteral("List1"));
        doubleClick(list, 4);
        // Another teacher deletes record 2: the record chosen as number 5 is now number 4.
        PosixRecordFile file;
        RecordsAdministration other(file, flow.resultsFile(), [](int) {});
        QVERIFY(other.deleteRecord(2, [](auto) { return true; }).outcome ==
                RecordsAdministration::Outcome::Done);
        child<QPushButton>(browser.get(), QStringLiteral("Command3"))->click();
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{2});
        QVERIFY(flow.messageBoxes.shown[1].text.contains(
            QStringLiteral("選んだ記録ではなくなっています")));
        QCOMPARE(timesIn(flow.resultsFile()),
                 (std::vector<int>{10, 30, 40, 50, 60, 70, 80, 90, 100}));
        QCOMPARE(list->model()->rowCount(), 9);  // the list was read again
    }

    void aTimeUpShowsItsTimeWithTheScrollBarAtItsEnd() {
        AdminFlowForTests flow;
        testing::appendRecords(flow.resultsFile(),
                               {testing::runRecord(1, 2, 99999), testing::runRecord(1, 0, 5)});
        FrmData browser(flow);
        browser.Form_Load();
        auto* list = child<QListView>(&browser, QStringLiteral("List1"));
        QCOMPARE(list->model()->rowCount(), 1);  // a record of level 0 gets no line
        doubleClick(list, 0);
        QCOMPARE(child<QLineEdit>(&browser, QStringLiteral("Text1_1"))->text(),
                 QStringLiteral("99999"));
        QCOMPARE(child<QScrollBar>(&browser, QStringLiteral("VScroll1"))->value(), 6000);
        child<QPushButton>(&browser, QStringLiteral("Command4"))->click();
        QCOMPARE(flow.menusShown, 1);
    }

    void theEditorShowsTheGridAndTheDistributionOfLevelOne() {
        AdminFlowForTests flow;
        testing::appendRecords(flow.resultsFile(),
                               {testing::runRecord(1, 1, 38), testing::runRecord(1, 1, 25),
                                testing::runRecord(2, 1, 41), testing::runRecord(3, 2, 99999)});
        FrmTimeData editor(flow);
        editor.resize(1024, 768);
        editor.Form_Load();
        editor.show();
        editor.Form_Activate();
        auto* grid = child<QTableWidget>(&editor, QStringLiteral("MSFlexGrid1"));
        auto* input = child<QLineEdit>(&editor, QStringLiteral("Gridinputtext"));
        QCOMPARE(grid->columnCount(), 13);
        QCOMPARE(grid->rowCount(), 24);
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("目標Time"));
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("レベル"));
        QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("60"));
        QCOMPARE(input->text(), QStringLiteral("60"));
        QCOMPARE(input->geometry(), grid->visualRect(grid->model()->index(0, 1)));
        QCOMPARE(child<QLabel>(&editor, QStringLiteral("Label3"))->text(),
                 QStringLiteral(
                     "合格基準タイム\n　大部分の人ががんばったら出せそうなタイムにしてください"));
        auto* all = child<QListWidget>(&editor, QStringLiteral("List3"));
        QCOMPARE(all->count(), 102);
        QCOMPARE(all->item(0)->text(), QStringLiteral("レベル1 今まで3回  （★=1）"));
        QCOMPARE(all->item(3)->text(), QStringLiteral("  20～★"));
        QCOMPARE(child<QListWidget>(&editor, QStringLiteral("List4"))->item(3)->text(),
                 QStringLiteral("  20～★"));
        testing::saveScreenshot(editor, QStringLiteral("criteria-editor"));

        // A run appended by a classroom machine shows once the current row changes: keys and
        // clicks within the row leave the file alone.
        testing::appendRecords(flow.resultsFile(),
                               {testing::runRecord(4, 1, 44), testing::runRecord(4, 2, 50)});
        QTest::keyClick(input, Qt::Key_Return);
        QTest::keyClick(input, Qt::Key_Right);
        emit grid->cellClicked(0, 5);
        QCOMPARE(all->item(0)->text(), QStringLiteral("レベル1 今まで3回  （★=1）"));
        // The grid's current row names the level shown.
        QTest::keyClick(input, Qt::Key_Down);
        QCOMPARE(all->item(0)->text(), QStringLiteral("レベル2 今まで2回  （★=1）"));
        QCOMPARE(all->item(101)->text(), QStringLiteral("1000～★"));
        emit grid->cellClicked(0, 2);
        QCOMPARE(all->item(0)->text(), QStringLiteral("レベル1 今まで4回  （★=1）"));
    }

    void keysInTheCellEditor() {
        AdminFlowForTests flow;
        FrmTimeData editor(flow);
        editor.resize(1024, 768);
        editor.Form_Load();
        editor.show();
        editor.Form_Activate();
        auto* input = child<QLineEdit>(&editor, QStringLiteral("Gridinputtext"));
        auto* grid = child<QTableWidget>(&editor, QStringLiteral("MSFlexGrid1"));
        const CriteriaGrid& cells = editor.grid();

        // Typing goes at the end; the same text marks nothing; a change is yellow.
        QTest::keyClicks(input, QStringLiteral("5"));
        QCOMPARE(cells.cell(1, 1), std::string("605"));
        QVERIFY(cells.marked(1, 1));
        QCOMPARE(grid->item(0, 1)->background().color(), QColor(255, 255, 0));
        QTest::keyClick(input, Qt::Key_Backspace);
        QCOMPARE(cells.cell(1, 1), std::string("60"));
        QVERIFY(cells.gridChanged());

        // Up on row 1 and Left on column 1 stay; Right on column 12 stays; Esc does nothing.
        QTest::keyClick(input, Qt::Key_Up);
        QTest::keyClick(input, Qt::Key_Left);
        QCOMPARE(cells.row(), 1);
        QCOMPARE(cells.column(), 1);
        for (int i = 0; i < 14; ++i) QTest::keyClick(input, Qt::Key_Right);
        QCOMPARE(cells.column(), 12);
        QTest::keyClick(input, Qt::Key_Escape);
        QCOMPARE(cells.column(), 12);

        // The space clears the cell and marks it.
        for (int i = 0; i < 7; ++i) QTest::keyClick(input, Qt::Key_Left);
        QCOMPARE(cells.column(), 5);
        QCOMPARE(child<QLabel>(&editor, QStringLiteral("Label3"))->text().count(QLatin1Char('\n')),
                 2);
        QTest::keyClick(input, Qt::Key_Space);
        QCOMPARE(cells.cell(1, 5), std::string());
        QVERIFY(cells.marked(1, 5));

        // Shift+Down on row 2 copies into rows 2 and 3, then 4; the editor stays on row 2.
        QTest::keyClick(input, Qt::Key_Down);
        QTest::keyClicks(input, QStringLiteral("9"));
        QTest::keyClick(input, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(input, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(cells.row(), 2);
        QCOMPARE(cells.cell(3, 5), std::string("19"));
        QCOMPARE(cells.cell(2, 5), std::string("19"));
        QCOMPARE(cells.cell(4, 5), std::string("19"));
        QVERIFY(!cells.marked(3, 5));
        QCOMPARE(grid->item(3, 5)->text(), QStringLiteral("19"));
        // On the last row Shift+Down does nothing.
        for (int i = 0; i < 30; ++i) QTest::keyClick(input, Qt::Key_Down);
        QCOMPARE(cells.row(), 24);
        const std::string last = cells.cell(24, 5);
        QTest::keyClick(input, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(cells.selectionEndRow(), 24);
        QCOMPARE(cells.cell(24, 5), last);

        // A click moves the editor to the clicked cell.
        emit grid->cellClicked(2, 3);
        QCOMPARE(cells.row(), 3);
        QCOMPARE(cells.column(), 3);
        QCOMPARE(input->text(), toQString(cells.cell(3, 3)));
    }

    void savingPutsTheCriteriaInForceAndARefusedSaveKeepsTheGrid() {
        AdminFlowForTests flow;
        FrmTimeData editor(flow);
        editor.Form_Load();
        editor.show();
        editor.Form_Activate();
        auto* input = child<QLineEdit>(&editor, QStringLiteral("Gridinputtext"));
        QTest::keyClick(input, Qt::Key_Right);  // 最低Time of level 1
        QTest::keyClicks(input, QStringLiteral("0"));
        QVERIFY(editor.Command3_Click());
        QCOMPARE(flow.state().criteria.MinLineTime.at(1), 900);
        QVERIFY(!editor.grid().gridChanged());
        QVERIFY(editor.grid().marked(1, 2));

        QTest::keyClick(input, Qt::Key_Left);
        input->setText(QStringLiteral("6,5"));
        const std::string before = testing::readBytes(flow.criteriaFile());
        QVERIFY(!editor.Command3_Click());
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{1});
        QVERIFY2(flow.messageBoxes.shown[0].text.contains(QStringLiteral("2行目（レベル1）")),
                 qPrintable(flow.messageBoxes.shown[0].text));
        QCOMPARE(testing::readBytes(flow.criteriaFile()), before);
        QCOMPARE(editor.grid().cell(1, 1), std::string("6,5"));
        QVERIFY(editor.grid().gridChanged());
        QVERIFY(editor.grid().marked(1, 1));

        // Leaving with the change: No drops it.
        flow.messageBoxes.answers = {false};
        editor.Command4_Click();
        QCOMPARE(flow.messageBoxes.shown.back().text,
                 QStringLiteral("データが変更されています。記録しますか？"));
        QCOMPARE(flow.menusShown, 1);
        QCOMPARE(testing::readBytes(flow.criteriaFile()), before);
    }

    void leavingAfterRevertingAsksNothing() {
        AdminFlowForTests flow;
        FrmTimeData editor(flow);
        editor.Form_Load();
        editor.show();
        editor.Form_Activate();
        QTest::keyClicks(child<QLineEdit>(&editor, QStringLiteral("Gridinputtext")),
                         QStringLiteral("1"));
        child<QPushButton>(&editor, QStringLiteral("Command2"))->click();
        QCOMPARE(editor.grid().cell(1, 1), std::string("60"));
        child<QPushButton>(&editor, QStringLiteral("Command4"))->click();
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{0});
        QCOMPARE(flow.menusShown, 1);
    }

    void aMissingCriteriaFileShowsTheCriteriaInForceToWriteBack() {
        AdminFlowForTests flow;
        std::filesystem::remove(flow.criteriaFile());
        FrmTimeData editor(flow);
        editor.Form_Load();
        editor.show();
        editor.Form_Activate();
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{1});
        QCOMPARE(editor.grid().lastRow(), 4);
        QCOMPARE(editor.grid().cell(3, 5), std::string("1.5"));
        QVERIFY(editor.grid().gridChanged());
        QVERIFY(editor.Command3_Click());
        QVERIFY(std::filesystem::exists(flow.criteriaFile()));
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::AdminWindowsTest)
#include "AdminWindowsTest.moc"

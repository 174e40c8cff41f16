#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include "kit/ProgramApplication.h"
#include "kit/QtConversions.h"
#include "stores/installation/CriteriaCopies.h"
#include "support/AdminFlowForTests.h"
#include "support/RecordFiles.h"
#include "support/Screenshots.h"
#include "windows/admin/FrmTimeData.h"

namespace gaisan {

using testing::AdminFlowForTests;
using testing::child;

/// The criteria editor on its own, over a copy of the demo data root.
class CriteriaEditorWindowsTest : public QObject {
    Q_OBJECT

    /// Opens the editor the way the teacher's panel does, at a screen's size.
    static void open(FrmTimeData& editor, QSize size = {1024, 768}) {
        editor.resize(size);
        editor.Form_Load();
        editor.show();
        editor.Form_Activate();
    }

private slots:
    void initTestCase() { setUpApplication(); }

    void theEditorShowsTheGridAndTheDistributionOfLevelOne() {
        AdminFlowForTests flow;
        testing::appendRecords(flow.resultsFile(),
                               {testing::runRecord(1, 1, 38), testing::runRecord(1, 1, 25),
                                testing::runRecord(2, 1, 41), testing::runRecord(3, 2, 99999)});
        FrmTimeData editor(flow);
        open(editor);
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
        open(editor);
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

    void everyTitleAndTheKeyHelpAreShownWhole_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("design size") << QSize(1024, 768);
        QTest::newRow("a larger screen") << QSize(1280, 1024);
        QTest::newRow("a wide screen") << QSize(1920, 1080);
    }
    void everyTitleAndTheKeyHelpAreShownWhole() {
        QFETCH(QSize, size);
        AdminFlowForTests flow;
        FrmTimeData editor(flow);
        open(editor, size);
        auto* grid = child<QTableWidget>(&editor, QStringLiteral("MSFlexGrid1"));
        QHeaderView* header = grid->horizontalHeader();
        const QFontMetrics titleMetrics(header->font());
        const int margin =
            2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        int right = 0;
        for (int column = 0; column < grid->columnCount(); ++column) {
            const QString title = grid->horizontalHeaderItem(column)->text();
            QVERIFY2(header->sectionSize(column) >= titleMetrics.horizontalAdvance(title) + margin,
                     qPrintable(QStringLiteral("column %1").arg(column)));
            right = header->sectionViewportPosition(column) + header->sectionSize(column);
        }
        QVERIFY(header->height() >= titleMetrics.height());
        QVERIFY2(right <= grid->viewport()->width(), "the columns fit the grid");

        // The key help keeps one key to a line: a line the label had to wrap would break inside
        // "Shift + ↓".
        auto* keys = child<QLabel>(&editor, QStringLiteral("Label1"));
        QVERIFY(!keys->wordWrap());
        const QFontMetrics keyMetrics(keys->font());
        const QStringList lines = keys->text().split(QLatin1Char('\n'));
        QCOMPARE(lines, (QStringList{QStringLiteral("スペース：セルクリア"),
                                     QStringLiteral("Shift + ↓：セルコピー")}));
        for (const QString& line : lines)
            QVERIFY(keyMetrics.horizontalAdvance(line) <= keys->contentsRect().width());
        QVERIFY(lines.size() * keyMetrics.lineSpacing() <= keys->contentsRect().height());
        testing::saveScreenshot(editor, QStringLiteral("criteria-editor-%1").arg(size.width()));
    }

    void aSaveSaysSoInTheWindowUntilTheNextChange() {
        AdminFlowForTests flow;
        FrmTimeData editor(flow);
        open(editor);
        auto* saved = child<QLabel>(&editor, QStringLiteral("SavedLabel"));
        auto* input = child<QLineEdit>(&editor, QStringLiteral("Gridinputtext"));
        QCOMPARE(saved->text(), QString());
        QTest::keyClicks(input, QStringLiteral("5"));
        child<QPushButton>(&editor, QStringLiteral("Command3"))->click();
        QCOMPARE(saved->text(), QStringLiteral("保存しました（10:00）"));
        QVERIFY(saved->isVisible());
        QVERIFY(QFontMetrics(saved->font()).horizontalAdvance(saved->text()) <=
                saved->contentsRect().width());
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{0});
        testing::saveScreenshot(editor, QStringLiteral("criteria-editor-saved"));

        // Once the grid differs from the file again, or is read again, the words would mislead.
        QTest::keyClick(input, Qt::Key_Backspace);
        QCOMPARE(saved->text(), QString());
        QVERIFY(editor.Command3_Click());
        QCOMPARE(saved->text(), QStringLiteral("保存しました（10:00）"));
        QTest::keyClick(input, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(saved->text(), QString());
        QVERIFY(editor.Command3_Click());
        child<QPushButton>(&editor, QStringLiteral("Command2"))->click();
        QCOMPARE(saved->text(), QString());
    }

    void savingPutsTheCriteriaInForceAndARefusedSaveKeepsTheGrid() {
        AdminFlowForTests flow;
        FrmTimeData editor(flow);
        open(editor);
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
        open(editor);
        QTest::keyClicks(child<QLineEdit>(&editor, QStringLiteral("Gridinputtext")),
                         QStringLiteral("1"));
        child<QPushButton>(&editor, QStringLiteral("Command2"))->click();
        QCOMPARE(editor.grid().cell(1, 1), std::string("60"));
        child<QPushButton>(&editor, QStringLiteral("Command4"))->click();
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{0});
        QCOMPARE(flow.menusShown, 1);
    }

    void bringingBackAnEarlierSaveShowsItsCriteriaAndKeepsTheReplacedOnes() {
        AdminFlowForTests flow;
        FrmTimeData editor(flow);
        open(editor);
        auto* input = child<QLineEdit>(&editor, QStringLiteral("Gridinputtext"));
        auto* grid = child<QTableWidget>(&editor, QStringLiteral("MSFlexGrid1"));
        auto* restore = child<QPushButton>(&editor, QStringLiteral("RestoreButton"));
        auto* saved = child<QLabel>(&editor, QStringLiteral("SavedLabel"));
        const std::string demoBytes = testing::readBytes(flow.criteriaFile());

        // Nothing saved yet: the editor says there is nothing to bring back, and why.
        restore->click();
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{1});
        QVERIFY(flow.messageBoxes.shown.back().text.startsWith(
            QStringLiteral("戻せる前の設定はまだありません。")));

        // Two saves, two minutes apart: 605, then 6055.
        QTest::keyClicks(input, QStringLiteral("5"));
        QVERIFY(editor.Command3_Click());
        flow.advanceClock(120);
        QTest::keyClicks(input, QStringLiteral("5"));
        QVERIFY(editor.Command3_Click());
        QCOMPARE(flow.state().criteria.TargetTime.at(1), 6055);
        const std::string secondSave = testing::readBytes(flow.criteriaFile());
        flow.advanceClock(180);

        QStringList listed;
        QStringList buttons;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog != nullptr);
            auto* list = child<QListWidget>(dialog, QStringLiteral("CopyList"));
            for (int row = 0; row < list->count(); ++row) listed << list->item(row)->text();
            for (const QPushButton* button : dialog->findChildren<QPushButton*>())
                buttons << button->text();
            for (int row = 0; row < list->count(); ++row) {
                QVERIFY(list->visualItemRect(list->item(row)).right() < list->viewport()->width());
            }
            testing::saveScreenshot(*dialog, QStringLiteral("criteria-copies-dialog"));
            list->setCurrentRow(1);  // the older: the demo's own criteria
            child<QDialogButtonBox>(dialog, {})->button(QDialogButtonBox::Ok)->click();
        });
        restore->click();
        QCOMPARE(listed, (QStringList{QStringLiteral("2026年12月10日 10:02 まで使っていた設定"),
                                      QStringLiteral("2026年12月10日 10:00 まで使っていた設定")}));
        buttons.sort();
        QCOMPARE(buttons, (QStringList{QStringLiteral("OK"), QStringLiteral("キャンセル")}));

        QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("60"));
        QCOMPARE(input->text(), QStringLiteral("60"));
        QVERIFY(!editor.grid().gridChanged());
        QCOMPARE(testing::readBytes(flow.criteriaFile()), demoBytes);
        QCOMPARE(flow.state().criteria.TargetTime.at(1), 60);
        QCOMPARE(saved->text(), QStringLiteral("保存しました（10:05）"));
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{1});
        // The criteria it replaced are the newest copy: bringing back the wrong one loses nothing.
        const std::vector<CriteriaCopy> copies = criteriaCopiesOf(flow.criteriaFile());
        QCOMPARE(copies.size(), std::size_t{3});
        QCOMPARE(toQString(criteriaCopyCaption(copies[0])),
                 QStringLiteral("2026年12月10日 10:05 まで使っていた設定"));
        QCOMPARE(testing::readBytes(copies[0].file), secondSave);
        testing::saveScreenshot(editor, QStringLiteral("criteria-editor-brought-back"));

        // The bottom row: every button shows its text whole, and nothing overlaps.
        QList<QWidget*> row{child<QPushButton>(&editor, QStringLiteral("Command3")),
                            child<QPushButton>(&editor, QStringLiteral("Command2")), restore,
                            child<QPushButton>(&editor, QStringLiteral("Command4")),
                            child<QLabel>(&editor, QStringLiteral("Label1"))};
        for (int i = 0; i < row.size(); ++i) {
            if (auto* button = qobject_cast<QPushButton*>(row[i])) {
                QVERIFY2(QFontMetrics(button->font()).horizontalAdvance(button->text()) + 8 <=
                             button->width(),
                         qPrintable(button->text()));
            }
            if (i > 0) QVERIFY(!row[i - 1]->geometry().intersects(row[i]->geometry()));
        }
        QVERIFY(!grid->geometry().intersects(restore->geometry()));
    }

    void aCopyThatCannotBeMadeIsToldAndTheTeacherDecides() {
        AdminFlowForTests flow;
        FrmTimeData editor(flow);
        open(editor);
        auto* input = child<QLineEdit>(&editor, QStringLiteral("Gridinputtext"));
        const std::string demoBytes = testing::readBytes(flow.criteriaFile());
        std::filesystem::copy_file(
            flow.criteriaFile(),
            criteriaCopiesFolderOf(flow.criteriaFile()));  // a file, no folder

        QTest::keyClicks(input, QStringLiteral("5"));
        flow.messageBoxes.answers = {false};
        QVERIFY(!editor.Command3_Click());
        QVERIFY(flow.messageBoxes.shown.back().text.startsWith(
            QStringLiteral("いまの設定の控えを作れませんでした。控えなしで保存しますか？")));
        QCOMPARE(testing::readBytes(flow.criteriaFile()), demoBytes);
        QVERIFY(editor.grid().gridChanged());
        QCOMPARE(editor.grid().cell(1, 1), std::string("605"));

        flow.messageBoxes.answers = {true};
        QVERIFY(editor.Command3_Click());
        QCOMPARE(flow.state().criteria.TargetTime.at(1), 605);
        QVERIFY(!editor.grid().gridChanged());
    }

    void aMissingCriteriaFileShowsTheCriteriaInForceToWriteBack() {
        AdminFlowForTests flow;
        std::filesystem::remove(flow.criteriaFile());
        FrmTimeData editor(flow);
        open(editor);
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{1});
        QCOMPARE(editor.grid().lastRow(), 4);
        QCOMPARE(editor.grid().cell(3, 5), std::string("1.5"));
        QVERIFY(editor.grid().gridChanged());
        QVERIFY(editor.Command3_Click());
        QVERIFY(std::filesystem::exists(flow.criteriaFile()));
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::CriteriaEditorWindowsTest)
#include "CriteriaEditorWindowsTest.moc"

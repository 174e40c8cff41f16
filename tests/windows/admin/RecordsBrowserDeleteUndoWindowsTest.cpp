#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <vector>

#include "kit/ProgramApplication.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/RecordsAdministration.h"
#include "support/AdminFlowForTests.h"
#include "support/RecordFiles.h"
#include "support/RecordsBrowserOverTenRuns.h"
#include "support/Screenshots.h"

namespace gaisan {

using testing::AdminFlowForTests;
using testing::browserOverTenRuns;
using testing::child;
using testing::doubleClick;
using testing::lineOf;

/// The records browser on its own, over a copy of the demo data root: deleting and undoing.
class RecordsBrowserDeleteUndoWindowsTest : public QObject {
    Q_OBJECT

private:
    static std::vector<int> timesIn(const std::filesystem::path& file) {
        std::vector<int> times;
        for (const ResultRecord& record : testing::recordsIn(file))
            times.push_back(record.ResultSeconds);
        return times;
    }

private slots:
    void initTestCase() { setUpApplication(); }

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

    void aDeleteUndoneIsBackInItsPlaceAndSelected() {
        AdminFlowForTests flow;
        auto browser = browserOverTenRuns(flow);
        auto* list = child<QListView>(browser.get(), QStringLiteral("List1"));
        auto* undo = child<QPushButton>(browser.get(), QStringLiteral("Command7"));
        QCOMPARE(undo->text(), QStringLiteral("元に戻す"));
        const std::string before = testing::readBytes(flow.resultsFile());
        undo->click();
        QCOMPARE(flow.messageBoxes.shown.back().text,
                 QStringLiteral("元に戻せる変更はまだありません。"));

        doubleClick(list, 2);
        child<QPushButton>(browser.get(), QStringLiteral("Command3"))->click();
        doubleClick(list, 6);  // the run of 80 seconds, record 8 before the delete
        child<QLineEdit>(browser.get(), QStringLiteral("Text1_1"))->setText(QStringLiteral("85"));
        child<QPushButton>(browser.get(), QStringLiteral("Command2"))->click();
        list->setCurrentIndex(list->model()->index(0, 0));

        QStringList listed;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog != nullptr);
            QCOMPARE(dialog->objectName(), QStringLiteral("UndoDialog"));
            auto* changes = child<QListWidget>(dialog, QStringLiteral("UndoList"));
            for (int row = 0; row < changes->count(); ++row) listed << changes->item(row)->text();
            for (int row = 0; row < changes->count(); ++row) {
                QVERIFY(changes->visualItemRect(changes->item(row)).right() <
                        changes->viewport()->width());
            }
            testing::saveScreenshot(*dialog, QStringLiteral("records-undo-dialog"));
            changes->setCurrentRow(1);  // the older change: the delete
            child<QDialogButtonBox>(dialog, {})->button(QDialogButtonBox::Ok)->click();
        });
        undo->click();
        QCOMPARE(listed.size(), 2);
        QVERIFY2(
            listed[0].startsWith(QStringLiteral("変更2　2026/12/10 10:00:00　記録7の書き換え：")),
            qPrintable(listed[0]));
        QVERIFY2(listed[0].contains(QStringLiteral("80秒 → ")) &&
                     listed[0].contains(QStringLiteral(" 85秒")),
                 qPrintable(listed[0]));
        QVERIFY2(listed[1].startsWith(QStringLiteral("変更1　2026/12/10 10:00:00　記録3の消去：")),
                 qPrintable(listed[1]));
        QVERIFY2(listed[1].contains(QStringLiteral("ﾚﾍﾞﾙ1 30秒")), qPrintable(listed[1]));

        QCOMPARE(timesIn(flow.resultsFile()),
                 (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 85, 90, 100}));
        QCOMPARE(list->model()->rowCount(), 10);
        QCOMPARE(list->currentIndex().row(), 2);
        QVERIFY(lineOf(list, 2).contains(QStringLiteral("   30秒")));
        testing::saveScreenshot(*browser, QStringLiteral("records-undone"));

        // The write-back's record moved when the run was put back before it, and the delete is
        // undone already: both are refused, saying why; the put-back itself can be undone.
        const auto chooseChange = [&](int row) {
            QTimer::singleShot(0, this, [&, row] {
                auto* dialog = QApplication::activeModalWidget();
                QVERIFY(dialog != nullptr);
                child<QListWidget>(dialog, QStringLiteral("UndoList"))->setCurrentRow(row);
                child<QDialogButtonBox>(dialog, {})->button(QDialogButtonBox::Ok)->click();
            });
            undo->click();
        };
        const std::string undone = testing::readBytes(flow.resultsFile());
        chooseChange(1);
        QCOMPARE(flow.messageBoxes.shown.back().text,
                 QStringLiteral("その後の変更3（記録3の復元）で記録の並びが変わったため、"
                                "元に戻せません。"));
        QTimer::singleShot(0, this, [&] {
            auto* dialog = QApplication::activeModalWidget();
            QVERIFY(dialog != nullptr);
            auto* changes = child<QListWidget>(dialog, QStringLiteral("UndoList"));
            QVERIFY2(changes->item(0)->text().endsWith(QStringLiteral("（変更1を元に戻した）")),
                     qPrintable(changes->item(0)->text()));
            QVERIFY2(changes->item(2)->text().endsWith(QStringLiteral("（変更3で元に戻し済み）")),
                     qPrintable(changes->item(2)->text()));
            changes->setCurrentRow(2);
            child<QDialogButtonBox>(dialog, {})->button(QDialogButtonBox::Ok)->click();
        });
        undo->click();
        QCOMPARE(flow.messageBoxes.shown.back().text,
                 QStringLiteral("この変更は、変更3でもう元に戻してあります。"));
        QCOMPARE(testing::readBytes(flow.resultsFile()), undone);
        chooseChange(0);
        QCOMPARE(timesIn(flow.resultsFile()),
                 (std::vector<int>{10, 20, 40, 50, 60, 70, 85, 90, 100}));
        QCOMPARE(list->currentIndex().row(), 2);
    }

    void aRecordChangedByAnotherTeacherMeanwhileIsLeftAlone() {
        AdminFlowForTests flow;
        auto browser = browserOverTenRuns(flow);
        auto* list = child<QListView>(browser.get(), QStringLiteral("List1"));
        doubleClick(list, 4);
        // Another teacher deletes record 2: the record chosen as number 5 is now number 4.
        PosixRecordFile file;
        RecordsAdministration other(
            file, flow.resultsFile(), [](int) {}, flow.clock());
        const auto deleted = other.deleteRecord(2, [](auto) { return true; });
        QVERIFY(deleted && deleted->done());
        child<QPushButton>(browser.get(), QStringLiteral("Command3"))->click();
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{2});
        QVERIFY(flow.messageBoxes.shown[1].text.contains(
            QStringLiteral("選んだ記録ではなくなっています")));
        QCOMPARE(timesIn(flow.resultsFile()),
                 (std::vector<int>{10, 30, 40, 50, 60, 70, 80, 90, 100}));
        QCOMPARE(list->model()->rowCount(), 9);  // the list was read again
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::RecordsBrowserDeleteUndoWindowsTest)
#include "RecordsBrowserDeleteUndoWindowsTest.moc"

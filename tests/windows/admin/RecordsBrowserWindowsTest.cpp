#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <memory>

#include "kit/MessageBoxes.h"
#include "kit/ProgramApplication.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/RecordsAdministration.h"
#include "support/AdminFlowForTests.h"
#include "support/AnswersAppendPrinting.h"
#include "support/RecordFiles.h"
#include "support/Screenshots.h"
#include "windows/admin/FrmData.h"

namespace gaisan {

using testing::AdminFlowForTests;
using testing::child;

namespace {

QString lineOf(QListView* list, int row) { return list->model()->index(row, 0).data().toString(); }

void doubleClick(QListView* list, int row) {
    list->setCurrentIndex(list->model()->index(row, 0));
    emit list->doubleClicked(list->currentIndex());
}

/// The lines of `text` that do not fit the width the program's message box gives them, and so
/// would be broken wherever the box likes, inside a word too. With `screenshot`, the box is saved
/// under that name (saveScreenshot).
QStringList linesTooWideForAMessageBox(const QString& text, const QString& screenshot = {}) {
    QStringList tooWide;
    QtMessageBoxes boxes;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box != nullptr);
        const auto* words = box->findChild<QTextEdit*>(QStringLiteral("MessageText"));
        QVERIFY(words != nullptr);
        const QFontMetrics metrics(words->font());
        const int width = static_cast<int>(words->document()->textWidth() -
                                           2 * words->document()->documentMargin());
        for (const QString& line : text.split(QLatin1Char('\n'))) {
            if (metrics.horizontalAdvance(line) > width)
                tooWide << QStringLiteral("%1 (%2 > %3)")
                               .arg(line)
                               .arg(metrics.horizontalAdvance(line))
                               .arg(width);
        }
        if (!screenshot.isEmpty()) testing::saveScreenshot(*box, screenshot);
        box->close();
    });
    boxes.inform(nullptr, QStringLiteral("成績データ"), text);
    return tooWide;
}

}  // namespace

/// The records browser on its own, over a copy of the demo data root.
class RecordsBrowserWindowsTest : public QObject {
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
    void initTestCase() { setUpApplication(); }

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

    void cancelPutsThePanelBackToTheChosenRecord() {
        AdminFlowForTests flow;
        auto browser = browserOverTenRuns(flow);
        const std::string before = testing::readBytes(flow.resultsFile());
        doubleClick(child<QListView>(browser.get(), QStringLiteral("List1")), 2);
        auto* seconds = child<QLineEdit>(browser.get(), QStringLiteral("Text1_1"));
        auto* scroll = child<QScrollBar>(browser.get(), QStringLiteral("VScroll1"));
        auto* chooser = child<QComboBox>(browser.get(), QStringLiteral("Combo1"));
        auto* grade = child<QLabel>(browser.get(), QStringLiteral("Label2_4"));
        chooser->setCurrentIndex(1);
        emit chooser->activated(1);
        scroll->triggerAction(QAbstractSlider::SliderPageStepAdd);
        seconds->setText(QStringLiteral("77"));
        QCOMPARE(grade->text(), QStringLiteral("小２"));

        child<QPushButton>(browser.get(), QStringLiteral("Command6"))->click();
        QCOMPARE(seconds->text(), QStringLiteral("30"));
        QCOMPARE(scroll->value(), 30);
        QCOMPARE(chooser->currentText(), QStringLiteral("3 /  髙橋　健"));
        QCOMPARE(grade->text(), QStringLiteral("小４"));
        // The record stays chosen and can still be changed or deleted; nothing was written.
        QVERIFY(child<QWidget>(browser.get(), QStringLiteral("Picture3"))->isVisible());
        QCOMPARE(browser->selectedRecordNo(), 3u);
        QVERIFY(child<QPushButton>(browser.get(), QStringLiteral("Command2"))->isEnabled());
        QCOMPARE(testing::readBytes(flow.resultsFile()), before);
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{0});
    }

    void everyButtonShowsItsCaptionWhole_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("design size") << QSize(1024, 768);
        QTest::newRow("a larger screen") << QSize(1280, 1024);
    }
    void everyButtonShowsItsCaptionWhole() {
        QFETCH(QSize, size);
        AdminFlowForTests flow;
        auto browser = browserOverTenRuns(flow);
        browser->resize(size);
        doubleClick(child<QListView>(browser.get(), QStringLiteral("List1")), 0);
        for (const char* name : {"Command2", "Command3", "Command4", "Command6", "Command7"}) {
            const auto* button = child<QPushButton>(browser.get(), QString::fromLatin1(name));
            QVERIFY2(button->sizeHint().width() <= button->width() &&
                         button->sizeHint().height() <= button->height(),
                     name);
        }
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

    void aRunMovedWhoseAnswersDaysCopyFailsIsToldAsABackupsFailure() {
        AdminFlowForTests flow;
        auto browser = browserOverTenRuns(flow);
        PosixRecordFile answersFile;
        AnswerRecord answer;
        answer.first = 450;
        answer.second = 120;
        answer.boxes = {"500", "100", "600"};
        for (std::size_t record : {1u, 3u}) {  // students 2 and 4
            const ResultRecord run = testing::recordsIn(flow.resultsFile())[record];
            QCOMPARE(
                appendRunAnswers(
                    answersFile, flow.resultsFile(),
                    {{run.RecordDate, run.RecordClock, run.StudentIndex, run.LevelIndex}, {answer}},
                    {2026, 12, 9}),
                AnswersAppendProblems{});
        }
        // Where the day's copies of the answers go, something nobody can write into.
        flow.folder.writeBytes("data/gaisan/成績バックアップ/成績解答データ2026-2026-12-10",
                               "not a folder");
        doubleClick(child<QListView>(browser.get(), QStringLiteral("List1")), 3);
        child<QComboBox>(browser.get(), QStringLiteral("Combo1"))
            ->setEditText(QStringLiteral("2 /  鈴木　蓮"));
        child<QPushButton>(browser.get(), QStringLiteral("Command2"))->click();

        QCOMPARE(testing::recordsIn(flow.resultsFile())[3].StudentIndex, std::int16_t{2});
        QCOMPARE(flow.messageBoxes.shown.size(), std::size_t{1});
        const QString& text = flow.messageBoxes.shown[0].text;
        QVERIFY2(text.contains(QStringLiteral("今日のバックアップを作れませんでした")),
                 qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("移せませんでした")), qPrintable(text));
        // The problem names a file, whose path the box breaks where it must.
        const QStringList tooWide =
            linesTooWideForAMessageBox(text, QStringLiteral("records-answers-backup-failed"))
                .filter(QRegularExpression(QStringLiteral("^(?!問題：)")));
        QVERIFY2(tooWide.isEmpty(), qPrintable(tooWide.join(QLatin1Char('|'))));
    }

    void aWriteBackOfATimeOrStudentThatWouldHarmIsRefused_data() {
        QTest::addColumn<QString>("seconds");
        QTest::addColumn<QString>("chooser");
        QTest::newRow("not a number") << QStringLiteral("7x") << QStringLiteral("2 /  鈴木　蓮");
        QTest::newRow("beyond the time-up mark")
            << QStringLiteral("100000") << QStringLiteral("2 /  鈴木　蓮");
        QTest::newRow("no such student") << QStringLiteral("50") << QStringLiteral("4999 /");
        QTest::newRow("a name typed by hand") << QStringLiteral("50") << QStringLiteral("鈴木　蓮");
        QTest::newRow("minutes and seconds")
            << QStringLiteral("12分30秒") << QStringLiteral("2 /  鈴木　蓮");
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
        const QStringList tooWide = linesTooWideForAMessageBox(flow.messageBoxes.shown[0].text);
        QVERIFY2(tooWide.isEmpty(), qPrintable(tooWide.join(QLatin1Char('|'))));
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
};

}  // namespace gaisan

QTEST_MAIN(gaisan::RecordsBrowserWindowsTest)
#include "RecordsBrowserWindowsTest.moc"

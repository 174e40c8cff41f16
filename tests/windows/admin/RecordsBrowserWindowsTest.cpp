#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
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
#include "support/AdminFlowForTests.h"
#include "support/AnswersAppendPrinting.h"
#include "support/RecordFiles.h"
#include "support/RecordsBrowserOverTenRuns.h"
#include "support/Screenshots.h"
#include "windows/admin/FrmData.h"

namespace gaisan {

using testing::AdminFlowForTests;
using testing::browserOverTenRuns;
using testing::child;
using testing::doubleClick;
using testing::lineOf;

namespace {

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

/// The records browser on its own, over a copy of the demo data root: browsing and editing.
class RecordsBrowserWindowsTest : public QObject {
    Q_OBJECT

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

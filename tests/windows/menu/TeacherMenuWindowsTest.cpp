#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "kit/ProgramApplication.h"
#include "platform/Cp932.h"
#include "stores/results/DailyBackup.h"
#include "support/DemoInstallation.h"
#include "support/MenuHostForTests.h"
#include "support/RecordFiles.h"
#include "support/Screenshots.h"
#include "windows/admin/FrmData.h"
#include "windows/admin/FrmTimeData.h"
#include "windows/analysis/MistakeAnalysisWindow.h"
#include "windows/menu/CsvOptionsDialog.h"

namespace gaisan {

using testing::isShown;
using testing::labelText;
using testing::listNamed;
using testing::openNames;
using testing::shown;
using testing::type;

/// The teacher's side of the level menu on a copy of the demo installation: the teacher's
/// commands, the spreadsheet export, the printed rankings, the data command and what the
/// teacher is told.
class TeacherMenuWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }

    void theTeacherSeesTheTeachersCommands() {
        testing::DemoInstallation installation;
        installation.flow->ContinueStartup();
        QTRY_VERIFY(shown<namesel>());
        QListWidget* rows = listNamed(shown<namesel>(), QStringLiteral("List1"));
        rows->setCurrentRow(testing::rowContaining(rows, QStringLiteral("先生")));
        type(rows, QStringLiteral("\n"));
        QTRY_VERIFY(shown<seisekitime1>() && shown<seisekitime1>()->menuReady());
        seisekitime1* menu = shown<seisekitime1>();
        QVERIFY(isShown(menu, QStringLiteral("Command8")));
        testing::saveScreenshot(*menu, QStringLiteral("level-menu-teacher"));

        // The maintenance panel: while it shows, a level does not start.
        menu->findChild<QPushButton*>(QStringLiteral("Command8"))->click();
        QVERIFY(isShown(menu, QStringLiteral("Picture7")));
        testing::saveScreenshot(*menu, QStringLiteral("maintenance-panel"));
        type(menu, QStringLiteral("1"));
        menu->Command4_Click(1);
        QTest::qWait(50);
        QVERIFY(!shown<MainFrm>());
        menu->findChild<QPushButton*>(QStringLiteral("Command12"))->click();
        QVERIFY(!isShown(menu, QStringLiteral("Picture7")));

        // "データ変更": the records browser opens and the level menu is gone; "戻る" brings a fresh
        // one.
        menu->findChild<QPushButton*>(QStringLiteral("Command8"))->click();
        menu->findChild<QPushButton*>(QStringLiteral("Command10_0"))->click();
        QTRY_VERIFY(shown<FrmData>());
        QTRY_VERIFY(!shown<seisekitime1>());
        shown<FrmData>()->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
        QTRY_VERIFY(shown<seisekitime1>() && shown<seisekitime1>()->menuReady());
        QTRY_VERIFY(!shown<FrmData>());

        // "合格タイムデータ変更" likewise, with the criteria editor.
        menu = shown<seisekitime1>();
        menu->findChild<QPushButton*>(QStringLiteral("Command8"))->click();
        menu->findChild<QPushButton*>(QStringLiteral("Command10_1"))->click();
        QTRY_VERIFY(shown<FrmTimeData>());
        QTRY_VERIFY(!shown<seisekitime1>());
        shown<FrmTimeData>()->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
        QTRY_VERIFY(shown<seisekitime1>() && shown<seisekitime1>()->menuReady());

        // "つまずき分析" likewise, with the analysis of the answers.
        menu = shown<seisekitime1>();
        menu->findChild<QPushButton*>(QStringLiteral("Command8"))->click();
        auto* analysis = menu->findChild<QPushButton*>(QStringLiteral("Command10_4"));
        QCOMPARE(analysis->text(), QStringLiteral("つまずき分析"));
        analysis->click();
        QTRY_VERIFY(shown<MistakeAnalysisWindow>());
        QTRY_VERIFY(!shown<seisekitime1>());
        QVERIFY(shown<MistakeAnalysisWindow>()
                    ->findChild<QComboBox*>(QStringLiteral("bandBox"))
                    ->count() > 0);
        shown<MistakeAnalysisWindow>()
            ->findChild<QPushButton*>(QStringLiteral("backButton"))
            ->click();
        QTRY_VERIFY(shown<seisekitime1>() && shown<seisekitime1>()->menuReady());
        QTRY_VERIFY(!shown<MistakeAnalysisWindow>());
    }

    void theTeacherSavesTheResultsAsASpreadsheetFile() {
        testing::MenuHostForTests host;
        // The last run comes from a machine whose clock was a day ahead: the lists show it, so
        // the spreadsheet has it too.
        testing::appendRecords(host.resultsFile(), {testing::runRecord(1, 1, 48, {2026, 12, 9}),
                                                    testing::runRecord(2, 3, 99999),
                                                    testing::runRecord(1, 2, 60, {2026, 12, 11})});
        host.logIn(999);  // 先生
        const auto menu = host.openMenu();
        QString suggested;
        const QString target = QString::fromStdString((host.suite / "成績.csv").string());
        // The options as the dialog offers them: every day, UTF-8.
        menu->csvSaver().setOptionsChooser([](QWidget* parent, const CivilDate& today) {
            return CsvOptionsDialog(parent, today).options();
        });
        menu->csvSaver().setFileChooser([&](QWidget*, const QString& offered) {
            suggested = offered;
            return target;
        });
        menu->findChild<QPushButton*>(QStringLiteral("Command8"))->click();
        // The panel asks the host to tell of shared-file problems; the real flow's telling is
        // tried in theTeacherHearsOnceOfADaysCopyThatWasNotTaken.
        QCOMPARE(host.sharedFileProblemAsks, 1);
        menu->findChild<QPushButton*>(QStringLiteral("Command10_2"))->click();
        QVERIFY2(suggested.endsWith(QStringLiteral("成績_2026-12-10.csv")), qPrintable(suggested));
        QFile saved(target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines =
            QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith(QStringLiteral("番号,日付,時刻")));
        QVERIFY2(lines[1].startsWith(QStringLiteral("1,2026-12-09,12:00:00,1,佐藤　陽菜,")),
                 qPrintable(lines[1]));
        QVERIFY2(lines[2].contains(QStringLiteral(",時間切れ,")), qPrintable(lines[2]));
        QVERIFY2(lines[3].startsWith(QStringLiteral("3,2026-12-11,12:00:00,1,")),
                 qPrintable(lines[3]));
        QCOMPARE(host.messageBoxes.shown.size(), std::size_t{1});
        const QString told = host.messageBoxes.shown[0].text;
        QVERIFY2(told.startsWith(QStringLiteral("3件の成績を保存しました。")) &&
                     !told.contains(QStringLiteral("読めない")),
                 qPrintable(told));

        // Cancelled: nothing is written and nothing is said.
        menu->csvSaver().setFileChooser([](QWidget*, const QString&) { return QString(); });
        menu->findChild<QPushButton*>(QStringLiteral("Command10_2"))->click();
        QCOMPARE(host.messageBoxes.shown.size(), std::size_t{1});
        QVERIFY(host.requests.empty());
    }

    void theTeacherSavesSomeDaysInCp932ForAnOlderSpreadsheet() {
        testing::MenuHostForTests host;
        testing::appendRecords(host.resultsFile(), {testing::runRecord(1, 1, 48, {2026, 12, 4}),
                                                    testing::runRecord(2, 1, 50, {2026, 12, 5}),
                                                    testing::runRecord(3, 2, 61, {2026, 12, 9}),
                                                    testing::runRecord(1, 1, 44, {2026, 12, 10})});
        host.logIn(999);  // 先生
        const auto menu = host.openMenu();
        const QString target = QString::fromStdString((host.suite / "古い表計算.csv").string());
        bool refusedBackwards = false;
        menu->csvSaver().setOptionsChooser([&](QWidget* parent, const CivilDate& today) {
            CsvOptionsDialog dialog(parent, today);
            auto* from = dialog.findChild<QDateEdit*>(QStringLiteral("FromDate"));
            auto* to = dialog.findChild<QDateEdit*>(QStringLiteral("ToDate"));
            auto* next = dialog.findChild<QPushButton*>(QStringLiteral("Next"));
            // Every day by default, the dates not in play until "すべて" is unticked.
            const bool byDefault =
                dialog.findChild<QCheckBox*>(QStringLiteral("AllDays"))->isChecked() &&
                !from->isEnabled();
            dialog.findChild<QCheckBox*>(QStringLiteral("AllDays"))->setChecked(false);
            dialog.findChild<QRadioButton*>(QStringLiteral("Cp932"))->setChecked(true);
            from->setDate(QDate(2026, 12, 10));
            to->setDate(QDate(2026, 12, 9));
            refusedBackwards = byDefault && !next->isEnabled() && !dialog.options();
            from->setDate(QDate(2026, 12, 5));
            return next->isEnabled() ? dialog.options() : std::nullopt;
        });
        menu->csvSaver().setFileChooser([&](QWidget*, const QString&) { return target; });
        menu->findChild<QPushButton*>(QStringLiteral("Command8"))->click();
        menu->findChild<QPushButton*>(QStringLiteral("Command10_2"))->click();
        QVERIFY(refusedBackwards);

        QFile saved(target);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        const std::string header = encodeCp932("番号,日付,時刻");
        QVERIFY2(bytes.startsWith(QByteArray::fromStdString(header)),
                 bytes.left(16).toHex().data());
        const QStringList lines = QString::fromStdString(decodeCp932(bytes.toStdString()))
                                      .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(lines[1].startsWith(QStringLiteral("2,2026-12-05,12:00:00,2,鈴木　蓮,")),
                 qPrintable(lines[1]));
        QVERIFY2(lines[2].startsWith(QStringLiteral("3,2026-12-09,12:00:00,3,髙橋　健,")),
                 qPrintable(lines[2]));
        QVERIFY(host.messageBoxes.shown.back().text.startsWith(
            QStringLiteral("2件の成績を保存しました。")));

        // Cancelled at the options: no file dialog, nothing said.
        bool fileAsked = false;
        menu->csvSaver().setOptionsChooser([](QWidget*, const CivilDate&) { return std::nullopt; });
        menu->csvSaver().setFileChooser([&](QWidget*, const QString&) {
            fileAsked = true;
            return target;
        });
        const std::size_t told = host.messageBoxes.shown.size();
        menu->findChild<QPushButton*>(QStringLiteral("Command10_2"))->click();
        QVERIFY(!fileAsked);
        QCOMPARE(host.messageBoxes.shown.size(), told);
    }

    void theTeachersRankingsOpenAtTheTopAndPrintToAPdf() {
        testing::MenuHostForTests host;
        testing::appendRecords(host.resultsFile(),
                               {testing::runRecord(7, 1, 40), testing::runRecord(1, 1, 45),
                                testing::runRecord(999, 1, 30)});
        host.logIn(999);  // 先生
        const auto opened = host.openMenu();
        seisekitime1* menu = opened.get();
        menu->findChild<QRadioButton*>(QStringLiteral("Option2_0"))->click();
        auto* level1 = listNamed(menu, QStringLiteral("List5_1"));
        QVERIFY(level1->count() > 20);
        // The teacher's own time is the best, but the teacher's row says so at the top; the
        // students without a time follow.
        QCOMPARE(level1->item(0)->text(), QStringLiteral("1●先生　　　    30 ●"));
        QCOMPARE(level1->verticalScrollBar()->value(), 0);
        auto* level2 = listNamed(menu, QStringLiteral("List5_2"));
        QVERIFY(level2->item(level2->count() - 1)->text().contains(QStringLiteral("●先生")));
        QCOMPARE(level2->verticalScrollBar()->value(), 0);

        const QString folder = QString::fromStdString(host.suite.path().string());
        const QString pdf = QDir(folder).filePath(QStringLiteral("lists.pdf"));
        menu->listPrinter().setPrinterChooser([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        menu->findChild<QPushButton*>(QStringLiteral("Command8"))->click();
        auto* print = menu->findChild<QPushButton*>(QStringLiteral("Command10_3"));
        QVERIFY(isShown(menu, QStringLiteral("Command10_3")));
        QCOMPARE(print->text(), QStringLiteral("一覧を印刷"));
        testing::saveScreenshot(*menu, QStringLiteral("maintenance-panel-print"));
        print->click();
        QVERIFY(QFileInfo(pdf).size() > 0);
        QVERIFY(host.requests.empty());

        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(20000));
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        const QStringList pages = printed.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 2, qPrintable(QString::number(pages.size())));
        QVERIFY2(pages[0].contains(QStringLiteral("ﾀｲﾑ表示・BEST表示")) &&
                     pages[0].contains(QStringLiteral("ベスト成績")) &&
                     pages[0].contains(QStringLiteral("学年：全学年")) &&
                     pages[0].contains(QStringLiteral("令和8年 12月 10日")),
                 qPrintable(pages[0].left(300)));
        // pdftotext gives a full-width space as a half-width one; the columns are the menu's.
        QVERIFY2(pages[0].contains(QStringLiteral("2Ⅱ山本 大翔    40")) &&
                     pages[0].contains(QStringLiteral("--②鈴木 蓮 ------")),
                 qPrintable(pages[0].left(600)));
        QVERIFY(pages[0].contains(QStringLiteral("1 / %1").arg(pages.size())));
        QVERIFY(printed.contains(QStringLiteral("（つづき）")));

        const QString keep = qEnvironmentVariable("GAISAN_SCREENSHOT_DIR");
        if (!keep.isEmpty()) {
            QDir().mkpath(keep);
            QFile::remove(QDir(keep).filePath(QStringLiteral("lists-print.pdf")));
            QFile::copy(pdf, QDir(keep).filePath(QStringLiteral("lists-print.pdf")));
        }
    }

    void theTeacherHearsOnceOfADaysCopyThatWasNotTaken() {
        testing::DemoInstallation installation;
        // Yesterday's run and today's, and no copy of today: the first run of the day found
        // records to copy and the copy failed.
        testing::appendRecords(
            installation.resultsFile(),
            {testing::runRecord(1, 1, 48, {2026, 12, 9}), testing::runRecord(2, 1, 50)});
        seisekitime1* menu = testing::logIn(installation, QStringLiteral("先生"));
        QVERIFY(menu);
        QVERIFY(installation.boxes.shown.empty());
        auto* data = menu->findChild<QPushButton*>(QStringLiteral("Command8"));
        data->click();
        QCOMPARE(installation.boxes.shown.size(), std::size_t{1});
        QCOMPARE(installation.boxes.shown[0].title, QStringLiteral("共有フォルダの確認"));
        const QString copy = QString::fromStdString(
            backupFileOf(installation.resultsFile(), {2026, 12, 10}).string());
        QVERIFY2(installation.boxes.shown[0].text.contains(copy),
                 qPrintable(installation.boxes.shown[0].text));

        // Once: the panel opened again says nothing more.
        menu->findChild<QPushButton*>(QStringLiteral("Command12"))->click();
        data->click();
        QVERIFY(isShown(menu, QStringLiteral("Picture7")));
        QCOMPARE(installation.boxes.shown.size(), std::size_t{1});
    }

    void theDataCommandIsTheTeachersAlone_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dataCommand");
        QTest::newRow("the teacher, with a space after") << QStringLiteral("先生 ") << true;
        QTest::newRow("a name going on after") << QStringLiteral("先生方") << false;
        QTest::newRow("a student") << QStringLiteral("佐藤　陽菜") << false;
    }
    void theDataCommandIsTheTeachersAlone() {
        QFETCH(QString, name);
        QFETCH(bool, dataCommand);
        testing::MenuHostForTests host;
        host.logIn(999);
        host.state().login.StudentName = name.toStdString();
        const auto menu = host.openMenu();
        QVERIFY(menu->menuReady());
        QCOMPARE(isShown(menu.get(), QStringLiteral("Command8")), dataCommand);
    }

    /// Keys and clicks on the menu, each step "key:c", "name:level" (a click on the level's
    /// name) or the name of a button to click, and the screen changes the menu asks its host
    /// for. Once the menu has asked for one, it asks for no other: the host unloads it after the
    /// handler returns.
};

}  // namespace gaisan

QTEST_MAIN(gaisan::TeacherMenuWindowsTest)
#include "TeacherMenuWindowsTest.moc"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "kit/ProgramApplication.h"
#include "support/DemoInstallation.h"
#include "support/MenuHostForTests.h"
#include "support/Screenshots.h"
#include "windows/finish/FrmSyuuryou.h"

namespace gaisan {

using testing::isShown;
using testing::labelText;
using testing::listNamed;
using testing::openNames;
using testing::shown;
using testing::type;

/// The student's loop on a copy of the demo installation: the name list, the level menu, a run,
/// the menu again with the new counts, back to the name list, and leaving to the launcher.
class MenuWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }

    void theNameListShowsTheYoungestFirstAndWantsAName() {
        testing::DemoInstallation installation;
        namesel* names = openNames(installation);
        QVERIFY(names);
        QListWidget* rows = listNamed(names, QStringLiteral("List1"));
        QVERIFY(rows->hasFocus());
        QCOMPARE(rows->item(0)->text(), QStringLiteral("－－－－－－"));
        QVERIFY2(rows->item(1)->text().startsWith(QStringLiteral("幼2 岡田　ひより")),
                 qPrintable(rows->item(1)->text()));
        QCOMPARE(rows->count(), 32);  // 30 students, the teacher and the header row
        QCOMPARE(labelText(names, QStringLiteral("Label1")), QStringLiteral("名前を選びなさい"));
        QCOMPARE(labelText(names, QStringLiteral("Label4")), QStringLiteral("概算"));
        QVERIFY(names->findChild<QRadioButton*>(QStringLiteral("Option1_1"))->isChecked());
        testing::saveScreenshot(*names, QStringLiteral("name-selection"));

        type(rows, QStringLiteral("1"));
        QCOMPARE(installation.player.played.size(), std::size_t{1});  // no name: the wrong cue
        QVERIFY(shown<namesel>());

        auto* bands = names->findChild<QComboBox*>(QStringLiteral("Combo1"));
        QCOMPARE(bands->count(), 12);
        bands->setCurrentText(QStringLiteral("中学生全体"));
        emit bands->activated(bands->currentIndex());
        QCOMPARE(rows->count(), 10);
        for (int row = 1; row < rows->count(); ++row) {
            QVERIFY2(rows->item(row)->text().startsWith(QStringLiteral("中")),
                     qPrintable(rows->item(row)->text()));
        }

        rows->setCurrentRow(testing::rowContaining(rows, QStringLiteral("井上")));
        QCOMPARE(labelText(names, QStringLiteral("Label1")), QStringLiteral("中1 井上　颯太　"));
    }

    void aStudentsLoopFromNameToRunAndBackToTheLauncher() {
        testing::DemoInstallation installation;
        MainFrm* drill = testing::logInAndStartLevel1(installation);
        QVERIFY(drill);
        for (int answer = 1; answer <= 10; ++answer) type(drill, QStringLiteral("500 500 1000 "));
        QTRY_VERIFY(shown<FrmSyuuryou>());
        FrmSyuuryou* finish = shown<FrmSyuuryou>();
        QTRY_VERIFY(isShown(finish, QStringLiteral("Command4")));
        type(finish->findChild<QPushButton*>(QStringLiteral("Command4")), QStringLiteral("\n"));

        QTRY_VERIFY(shown<seisekitime1>() && shown<seisekitime1>()->menuReady());
        seisekitime1* menu = shown<seisekitime1>();
        QCOMPARE(labelText(menu, QStringLiteral("Label12")), QStringLiteral("佐藤　陽菜 小３"));
        QCOMPARE(labelText(menu, QStringLiteral("Label13")), QStringLiteral("1:さくら学習塾"));
        QCOMPARE(labelText(menu, QStringLiteral("Label18")), QStringLiteral("本日総回数＝1回"));
        // The run took no time on the test's clock: 55 points.
        QCOMPARE(labelText(menu, QStringLiteral("Label15_1")), QStringLiteral("1回/55点"));
        QCOMPARE(labelText(menu, QStringLiteral("Label14_1")), QStringLiteral("1回/55点"));
        QCOMPARE(labelText(menu, QStringLiteral("Label15_2")), QStringLiteral("------"));
        QCOMPARE(labelText(menu, QStringLiteral("Label14_2")), QStringLiteral("-----"));
        QCOMPARE(labelText(menu, QStringLiteral("Label7_1")),
                 QStringLiteral("目標=60秒 5回/60点(×1)"));
        QCOMPARE(labelText(menu, QStringLiteral("Label8_1")),
                 QStringLiteral("最近30日=1回 / 55点"));
        QCOMPARE(menu->findChild<QPushButton*>(QStringLiteral("Command4_1"))->text(),
                 QStringLiteral("ｽﾀｰﾄ(&1)"));
        QVERIFY(!isShown(menu, QStringLiteral("Command8")));
        QListWidget* ranking = listNamed(menu, QStringLiteral("List5_1"));
        QVERIFY(ranking->isVisible());
        QVERIFY2(ranking->item(0)->text().startsWith(QStringLiteral("1●佐藤　陽菜")),
                 qPrintable(ranking->item(0)->text()));
        QCOMPARE(ranking->count(), 31);
        testing::saveScreenshot(*menu, QStringLiteral("level-menu-student"));

        type(menu, QStringLiteral("5"));
        QVERIFY(shown<seisekitime1>());  // there is no fifth level
        type(menu, QStringLiteral("0"));
        QTRY_VERIFY(shown<namesel>());
        QTRY_VERIFY(!shown<seisekitime1>());
        QSignalSpy ended(installation.flow.get(), &ScreenFlow::programEnded);
        type(shown<namesel>(), QStringLiteral("0"));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 0);
        QCOMPARE(installation.launcher.started.size(), std::size_t{1});
        QCOMPARE(installation.launcher.started[0], installation.suite / "起動/プログラムメニューc");
        QCOMPARE(installation.launcher.arguments, std::vector<std::string>{"001"});
    }

    void aKeyPressedTwiceStartsOneRun() {
        testing::DemoInstallation installation;
        installation.flow->ContinueStartup();
        QTRY_VERIFY(shown<namesel>());
        QListWidget* rows = listNamed(shown<namesel>(), QStringLiteral("List1"));
        rows->setCurrentRow(1);
        testing::queueKeys(rows, QStringLiteral("\n\n"));
        QTRY_VERIFY(shown<seisekitime1>() && shown<seisekitime1>()->menuReady());
        testing::queueKeys(shown<seisekitime1>(), QStringLiteral("11"));
        QTRY_VERIFY(shown<MainFrm>());
        QTest::qWait(100);
        QCOMPARE(installation.random.used(), std::size_t{2});  // one problem: one run set up
    }

    void anUnusableRosterIsToldOncePerVisitAndTheListKeepsItsFirstRow() {
        testing::DemoInstallation installation;
        installation.suite.writeCp932("data/新名簿.txt",
                                      "1,二〇一七,0,0,\"佐藤　陽菜\",0,\"\",\"\"\r\n");
        namesel* names = openNames(installation);
        QVERIFY(names);
        QTRY_VERIFY(names->findChild<QWidget*>(QStringLiteral("Picture5"))->isHidden());
        QCOMPARE(installation.boxes.shown.size(), std::size_t{1});
        QCOMPARE(installation.boxes.shown[0].title, QStringLiteral("ファイルのエラー"));
        QVERIFY2(installation.boxes.shown[0].text.contains(
                     QStringLiteral("「新名簿.txt」を使えません。")),
                 qPrintable(installation.boxes.shown[0].text));
        QListWidget* rows = listNamed(names, QStringLiteral("List1"));
        QCOMPARE(rows->count(), 1);
        QCOMPARE(rows->item(0)->text(), QStringLiteral("－－－－－－"));

        names->findChild<QRadioButton*>(QStringLiteral("Option1_3"))->click();
        auto* bands = names->findChild<QComboBox*>(QStringLiteral("Combo1"));
        emit bands->activated(1);
        QCOMPARE(installation.boxes.shown.size(), std::size_t{1});
        QCOMPARE(rows->count(), 1);
        QSignalSpy ended(installation.flow.get(), &ScreenFlow::programEnded);
        type(rows, QStringLiteral("0"));
        QCOMPARE(ended.count(), 1);
    }

    void theMenuAsksItsHostForTheNextScreen_data() {
        QTest::addColumn<int>("student");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("requests");
        const auto row = [](const char* name, int student, QStringList steps,
                            QStringList requests) {
            QTest::newRow(name) << student << steps << requests;
        };
        row("a level key starts its level", 1, {"key:1"}, {"run 1"});
        row("a second key does not start a second run", 1, {"key:1", "key:1", "Command4_1"},
            {"run 1"});
        row("no fifth level, no key e", 1, {"key:5", "key:e"}, {});
        row("level 2", 1, {"key:2", "key:3"}, {"run 2"});
        row("0 goes back to the names, once", 1, {"key:0", "key:0", "key:1"}, {"names"});
        row("戻る(0)", 1, {"Command1"}, {"names"});
        row("a level's name", 1, {"name:2", "name:1"}, {"run 2"});
        row("no level starts under the maintenance panel", 999, {"Command8", "key:1", "Command4_1"},
            {});
        row("the records browser", 999, {"Command8", "Command10_0", "key:1"}, {"records browser"});
        row("the criteria editor", 999, {"Command8", "Command10_1", "key:0"}, {"criteria editor"});
        row("the panel closed, a level starts", 999, {"Command8", "Command12", "Command4_1"},
            {"run 1"});
    }
    void theMenuAsksItsHostForTheNextScreen() {
        QFETCH(int, student);
        QFETCH(QStringList, steps);
        QFETCH(QStringList, requests);
        testing::MenuHostForTests host;
        host.logIn(student);
        const auto menu = host.openMenu();
        for (const QString& step : steps) {
            if (step.startsWith(QStringLiteral("key:"))) {
                type(menu.get(), step.mid(4));
            } else if (step.startsWith(QStringLiteral("name:"))) {
                auto* name = menu->findChild<QLabel*>(QStringLiteral("Label3_") + step.mid(5));
                QTest::mouseClick(name, Qt::LeftButton);
            } else {
                menu->findChild<QPushButton*>(step)->click();
            }
        }
        QStringList asked;
        for (const std::string& request : host.requests) {
            asked.append(QString::fromStdString(request));
        }
        QCOMPARE(asked, requests);
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::MenuWindowsTest)
#include "MenuWindowsTest.moc"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/ProgramFont.h"
#include "drill/MainFrm.h"
#include "menu/seisekitime1.h"
#include "platform/PosixRecordFile.h"
#include "records/FrmSyuuryou.h"
#include "records/ResultsFile.h"
#include "roster/namesel.h"
#include "support/DemoInstallation.h"
#include "support/Screenshots.h"

namespace gaisan {

using testing::isShown;
using testing::labelText;
using testing::shown;
using testing::type;

/// Whole runs worked by keys on a copy of the demo installation, from the name list to the
/// finish screen and back, with the record checked in the results file.
class DrillWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { applyProgramFont(); }

    void aWholeRunByKeysIsRecordedAndFinished() {
        testing::DemoInstallation installation;
        MainFrm* drill = testing::logInAndStartLevel1(installation);
        QVERIFY(drill);
        QCOMPARE(labelText(drill, QStringLiteral("InputLabel2_1")), QStringLiteral("460"));
        QCOMPARE(labelText(drill, QStringLiteral("Label3")), QStringLiteral("百の位までで、概算しなさい"));
        QCOMPARE(labelText(drill, QStringLiteral("sLabel7")), QStringLiteral("佐藤　陽菜"));
        QCOMPARE(labelText(drill, QStringLiteral("sLabel8")), QStringLiteral("レベル１"));
        QCOMPARE(labelText(drill, QStringLiteral("sLabel9")), QStringLiteral("10"));
        QCOMPARE(labelText(drill, QStringLiteral("sLabel14")), QStringLiteral("さくら学習塾"));

        type(drill, QStringLiteral("500 500 "));
        testing::saveScreenshot(*drill, QStringLiteral("drill-mid-run"));
        type(drill, QStringLiteral("100 "));
        QVERIFY(isShown(drill, QStringLiteral("HyoujiLabel_5")));
        QCOMPARE(labelText(drill, QStringLiteral("HyoujiLabel_5")), QStringLiteral("1000"));
        QVERIFY(!isShown(drill, QStringLiteral("HyoujiLabel_3")));
        QVERIFY(isShown(drill, QStringLiteral("seikaihyoujiLabel")));
        testing::saveScreenshot(*drill, QStringLiteral("drill-wrong-answer"));
        type(drill, QStringLiteral("++"));
        QVERIFY(!isShown(drill, QStringLiteral("seikaihyoujiLabel")));

        // Full-width digits from an input method left on count as digits.
        type(drill, QStringLiteral("５００ 500 1000 "));
        QCOMPARE(labelText(drill, QStringLiteral("sLabel9")), QStringLiteral("9"));
        for (int answer = 2; answer <= 9; ++answer) type(drill, QStringLiteral("500 500 1000 "));
        QCOMPARE(labelText(drill, QStringLiteral("sLabel9")), QStringLiteral("1"));
        installation.clock.advanceSeconds(48);
        QMetaObject::invokeMethod(drill, "sTimer1_Timer");
        QCOMPARE(labelText(drill, QStringLiteral("sLabel10")), QStringLiteral("48"));
        type(drill, QStringLiteral("500 500 1000 "));
        QVERIFY(!drill->findChild<QWidget*>(QStringLiteral("lblsss1"))->isHidden());

        QTRY_VERIFY(shown<FrmSyuuryou>());
        FrmSyuuryou* finish = shown<FrmSyuuryou>();
        QCOMPARE(finish->windowTitle(), QStringLiteral("終了"));
        QCOMPARE(labelText(finish, QStringLiteral("Label18")), QStringLiteral("今の成績：48秒"));
        QCOMPARE(labelText(finish, QStringLiteral("Label19")), QStringLiteral("獲得ポイント：5点×1→5点"));
        QCOMPARE(labelText(finish, QStringLiteral("Label20")), QStringLiteral("！！！最高新記録！！！"));
        QCOMPARE(labelText(finish, QStringLiteral("Label13")), QStringLiteral(" (このレベル　1回目)"));
        QCOMPARE(labelText(finish, QStringLiteral("Label14")), QStringLiteral("（1回目)"));
        QCOMPARE(installation.player.played.back(), std::string("最高1.wav"));
        QCOMPARE(std::count_if(installation.player.played.begin(), installation.player.played.end(),
                               [](const std::string& f) { return f.starts_with("せいかい"); }),
                 10);
        QTRY_VERIFY(isShown(finish, QStringLiteral("Command4")));
        QVERIFY(isShown(finish, QStringLiteral("Command5")));
        QVERIFY(finish->findChild<QPushButton*>(QStringLiteral("Command4"))->hasFocus());
        testing::saveScreenshot(*finish, QStringLiteral("finish"));

        const auto written = testing::recordsIn(installation);
        QCOMPARE(written.size(), std::size_t{1});
        QCOMPARE(written[0].student, std::int16_t{1});
        QCOMPARE(written[0].level, std::int16_t{1});
        QCOMPARE(written[0].seconds, 48);

        QTest::keyClick(finish->findChild<QPushButton*>(QStringLiteral("Command4")), Qt::Key_Return);
        QTRY_VERIFY(shown<seisekitime1>());
        QTRY_VERIFY(!shown<FrmSyuuryou>());
        QVERIFY(installation.boxes.shown.empty());
    }

    void aRunThatReachesTheTimeLimitIsRecordedAsTimeUp() {
        testing::DemoInstallation installation;
        MainFrm* drill = testing::logInAndStartLevel1(installation);
        QVERIFY(drill);
        QCOMPARE(installation.state->run.TimeLimit, 450);
        installation.clock.advanceSeconds(449);
        QMetaObject::invokeMethod(drill, "sTimer1_Timer");
        QCOMPARE(installation.state->run.TimeUp, 0);
        installation.clock.advanceSeconds(1);
        QMetaObject::invokeMethod(drill, "sTimer1_Timer");
        QCOMPARE(installation.state->run.TimeUp, 1);
        // The screen has closed by now, on its way to the finish screen; what it showed last stays.
        QVERIFY(!drill->findChild<QWidget*>(QStringLiteral("lblsss2"))->isHidden());
        QVERIFY(drill->findChild<QWidget*>(QStringLiteral("lblsss1"))->isHidden());
        testing::saveScreenshot(*drill, QStringLiteral("drill-time-up"));

        QTRY_VERIFY(shown<FrmSyuuryou>());
        FrmSyuuryou* finish = shown<FrmSyuuryou>();
        QCOMPARE(labelText(finish, QStringLiteral("Label18")), QStringLiteral("記録なし"));
        QCOMPARE(labelText(finish, QStringLiteral("Label19")), QStringLiteral("獲得ポイント：0点×1→0点"));
        QCOMPARE(labelText(finish, QStringLiteral("Label20")), QStringLiteral("時間切れ"));
        QVERIFY(installation.player.played.empty());
        QTRY_VERIFY(isShown(finish, QStringLiteral("Command5")));
        testing::saveScreenshot(*finish, QStringLiteral("finish-time-up"));
        const auto written = testing::recordsIn(installation);
        QCOMPARE(written.size(), std::size_t{1});
        QCOMPARE(written[0].seconds, 99999);

        // "もう一度" starts the same level again.
        finish->findChild<QPushButton*>(QStringLiteral("Command5"))->click();
        QTRY_VERIFY(shown<MainFrm>());
        QCOMPARE(installation.state->run.TimeUp, 0);
        QCOMPARE(labelText(shown<MainFrm>(), QStringLiteral("sLabel8")), QStringLiteral("レベル１"));
    }

    void theFourthFailedCueEndsTheProgramWithAMessage() {
        testing::DemoInstallation installation;
        MainFrm* drill = testing::logInAndStartLevel1(installation);
        QVERIFY(drill);
        QSignalSpy ended(installation.flow.get(), &ScreenFlow::programEnded);
        installation.player.failing = true;
        type(drill, QStringLiteral("500 500 1000 "));
        type(drill, QStringLiteral("500 500 1000 500 500 1000 "));
        QVERIFY(installation.boxes.shown.empty());
        type(drill, QStringLiteral("500 500 1000 "));
        QCOMPARE(installation.boxes.shown.size(), std::size_t{1});
        QCOMPARE(installation.boxes.shown[0].title, QStringLiteral("音声エラー"));
        QCOMPARE(installation.boxes.shown[0].text,
                 QStringLiteral("音声がでません。先生を呼びなさい。\r\nno sound server"));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 1);
        QTRY_VERIFY(!shown<MainFrm>());
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::DrillWindowsTest)
#include "DrillWindowsTest.moc"

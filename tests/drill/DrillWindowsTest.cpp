#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "app/AppState.h"
#include "app/ConfigurationWindow.h"
#include "app/ProgramFont.h"
#include "app/ScreenFlow.h"
#include "drill/MainFrm.h"
#include "platform/PosixRecordFile.h"
#include "records/FrmSyuuryou.h"
#include "records/ResultsFile.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBoxes.h"
#include "support/RecordingPlayer.h"
#include "support/ScriptedRandom.h"
#include "support/Screenshots.h"
#include "support/TempFolder.h"

namespace gaisan {

/// Whole runs worked by keys on a copy of the demo installation, from the first problem to the
/// finish screen and back, with the record checked in the results file.
class DrillWindowsTest : public QObject {
    Q_OBJECT

private:
    /// Every random number is 0.5, so every level-1 problem is 460 + 460 (answers 500, 500 and
    /// 1000), whichever draws the sound cues take in between.
    struct Installation {
        testing::TempFolder suite;
        testing::FakeClock clock{{2026, 12, 10}, 10 * 3600.0};
        testing::ScriptedRandom random{std::vector<double>(1000, 0.5)};
        testing::RecordingMessageBoxes boxes;
        testing::RecordingPlayer player;
        std::unique_ptr<AppState> state = std::make_unique<AppState>();
        std::unique_ptr<ScreenFlow> flow;

        Installation() {
            std::filesystem::copy(GAISAN_DEMO_DIR, suite.path(),
                                  std::filesystem::copy_options::recursive);
            suite.writeCp932("パスデータ.txt", (suite / "data").string() +
                                                   "/\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
            clock.setTickStep(5);
            flow = std::make_unique<ScreenFlow>(*state, clock, random, boxes, player,
                                                suite / "gaisan");
        }

        std::vector<ResultRecord> records() {
            PosixRecordFile file;
            ResultsFile results(file, suite / "data/gaisan/成績累積データ.dat", clock, [](int) {});
            LoadedRecords loaded;
            auto counts = std::make_unique<CountTables>();
            results.LoadResultRecords(loaded, *counts);
            std::vector<ResultRecord> all;
            for (const LoadedRecord& r : loaded.entries) {
                ResultRecord record;
                record.StudentIndex = r.student;
                record.LevelIndex = r.level;
                record.ResultSeconds = r.seconds;
                all.push_back(record);
            }
            return all;
        }
    };

    template <typename Window>
    static Window* shown() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }

    /// Types `keys` into `window` as key presses carrying their text, full-width ones included.
    static void type(QWidget* window, const QString& keys) {
        for (const QChar c : keys) {
            const int key = c.unicode() < 128 ? c.toUpper().unicode() : Qt::Key_unknown;
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
            QApplication::sendEvent(window, &press);
        }
    }

    static QString text(QWidget* window, const QString& name) {
        return window->findChild<QLabel*>(name)->text();
    }
    static bool visible(QWidget* window, const QString& name) {
        return window->findChild<QWidget*>(name)->isVisible();
    }

    /// Logs in the first student of the roster and starts level 1.
    static MainFrm* startLevel1(Installation& installation) {
        installation.flow->ContinueStartup();
        if (!QTest::qWaitFor([] { return shown<ConfigurationWindow>() != nullptr; })) return nullptr;
        shown<ConfigurationWindow>()->findChild<QPushButton*>(QStringLiteral("startLevel1"))->click();
        QTest::qWaitFor([] { return shown<MainFrm>() != nullptr; });
        return shown<MainFrm>();
    }

private slots:
    void initTestCase() { applyProgramFont(); }

    void aWholeRunByKeysIsRecordedAndFinished() {
        Installation installation;
        MainFrm* drill = startLevel1(installation);
        QVERIFY(drill);
        QCOMPARE(text(drill, QStringLiteral("InputLabel2_1")), QStringLiteral("460"));
        QCOMPARE(text(drill, QStringLiteral("Label3")), QStringLiteral("百の位までで、概算しなさい"));
        QCOMPARE(text(drill, QStringLiteral("sLabel7")), QStringLiteral("佐藤　陽菜"));
        QCOMPARE(text(drill, QStringLiteral("sLabel8")), QStringLiteral("レベル１"));
        QCOMPARE(text(drill, QStringLiteral("sLabel9")), QStringLiteral("10"));
        QCOMPARE(text(drill, QStringLiteral("sLabel14")), QStringLiteral("さくら学習塾"));

        type(drill, QStringLiteral("500 500 "));
        testing::saveScreenshot(*drill, QStringLiteral("drill-mid-run"));
        type(drill, QStringLiteral("100 "));
        QVERIFY(visible(drill, QStringLiteral("HyoujiLabel_5")));
        QCOMPARE(text(drill, QStringLiteral("HyoujiLabel_5")), QStringLiteral("1000"));
        QVERIFY(!visible(drill, QStringLiteral("HyoujiLabel_3")));
        QVERIFY(visible(drill, QStringLiteral("seikaihyoujiLabel")));
        testing::saveScreenshot(*drill, QStringLiteral("drill-wrong-answer"));
        type(drill, QStringLiteral("++"));
        QVERIFY(!visible(drill, QStringLiteral("seikaihyoujiLabel")));

        // Full-width digits from an input method left on count as digits.
        type(drill, QStringLiteral("５００ 500 1000 "));
        QCOMPARE(text(drill, QStringLiteral("sLabel9")), QStringLiteral("9"));
        for (int answer = 2; answer <= 9; ++answer) type(drill, QStringLiteral("500 500 1000 "));
        QCOMPARE(text(drill, QStringLiteral("sLabel9")), QStringLiteral("1"));
        installation.clock.advanceSeconds(48);
        QMetaObject::invokeMethod(drill, "sTimer1_Timer");
        QCOMPARE(text(drill, QStringLiteral("sLabel10")), QStringLiteral("48"));
        type(drill, QStringLiteral("500 500 1000 "));
        QVERIFY(!drill->findChild<QWidget*>(QStringLiteral("lblsss1"))->isHidden());

        QTRY_VERIFY(shown<FrmSyuuryou>());
        FrmSyuuryou* finish = shown<FrmSyuuryou>();
        QCOMPARE(finish->windowTitle(), QStringLiteral("終了"));
        QCOMPARE(text(finish, QStringLiteral("Label18")), QStringLiteral("今の成績：48秒"));
        QCOMPARE(text(finish, QStringLiteral("Label19")), QStringLiteral("獲得ポイント：5点×1→5点"));
        QCOMPARE(text(finish, QStringLiteral("Label20")), QStringLiteral("！！！最高新記録！！！"));
        QCOMPARE(text(finish, QStringLiteral("Label13")), QStringLiteral(" (このレベル　1回目)"));
        QCOMPARE(text(finish, QStringLiteral("Label14")), QStringLiteral("（1回目)"));
        QCOMPARE(installation.player.played.back(), std::string("最高1.wav"));
        QCOMPARE(std::count_if(installation.player.played.begin(), installation.player.played.end(),
                               [](const std::string& f) { return f.starts_with("せいかい"); }),
                 10);
        QTRY_VERIFY(visible(finish, QStringLiteral("Command4")));
        QVERIFY(visible(finish, QStringLiteral("Command5")));
        QVERIFY(finish->findChild<QPushButton*>(QStringLiteral("Command4"))->hasFocus());
        testing::saveScreenshot(*finish, QStringLiteral("finish"));

        const auto records = installation.records();
        QCOMPARE(records.size(), std::size_t{1});
        QCOMPARE(records[0].StudentIndex, std::int16_t{1});
        QCOMPARE(records[0].LevelIndex, std::int16_t{1});
        QCOMPARE(records[0].ResultSeconds, 48);

        QTest::keyClick(finish->findChild<QPushButton*>(QStringLiteral("Command4")), Qt::Key_Return);
        QTRY_VERIFY(shown<ConfigurationWindow>());
        QTRY_VERIFY(!shown<FrmSyuuryou>());
        QVERIFY(installation.boxes.shown.empty());
    }

    void aRunThatReachesTheTimeLimitIsRecordedAsTimeUp() {
        Installation installation;
        MainFrm* drill = startLevel1(installation);
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
        QCOMPARE(text(finish, QStringLiteral("Label18")), QStringLiteral("記録なし"));
        QCOMPARE(text(finish, QStringLiteral("Label19")), QStringLiteral("獲得ポイント：0点×1→0点"));
        QCOMPARE(text(finish, QStringLiteral("Label20")), QStringLiteral("時間切れ"));
        QVERIFY(installation.player.played.empty());
        QTRY_VERIFY(visible(finish, QStringLiteral("Command5")));
        testing::saveScreenshot(*finish, QStringLiteral("finish-time-up"));
        const auto records = installation.records();
        QCOMPARE(records.size(), std::size_t{1});
        QCOMPARE(records[0].ResultSeconds, 99999);

        // "もう一度" starts the same level again.
        finish->findChild<QPushButton*>(QStringLiteral("Command5"))->click();
        QTRY_VERIFY(shown<MainFrm>());
        QCOMPARE(installation.state->run.TimeUp, 0);
        QCOMPARE(text(shown<MainFrm>(), QStringLiteral("sLabel8")), QStringLiteral("レベル１"));
    }

    void theFourthFailedCueEndsTheProgramWithAMessage() {
        Installation installation;
        MainFrm* drill = startLevel1(installation);
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

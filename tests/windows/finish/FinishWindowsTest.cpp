#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/AppState.h"
#include "kit/DesignCanvas.h"
#include "kit/ProgramApplication.h"
#include "rules/student/StudentSession.h"
#include "support/DemoInstallation.h"
#include "support/FakeClock.h"
#include "support/RecordingCues.h"
#include "support/Screenshots.h"
#include "support/ScriptedRandom.h"
#include "windows/finish/FinishHost.h"
#include "windows/finish/FrmSyuuryou.h"

namespace gaisan {

using testing::isShown;
using testing::labelText;

/// The finish screen on its own, after a run of level 1 as the demo has it (a target of 60 s,
/// a minimum line of 90 s, cleared by 5 runs and 60 points, the final level 4) by 佐藤　陽菜.
/// The recount only does what `recount` says, and the host writes down what it is asked.
class FinishHostForTests final : public FinishHost, public StudentResults {
public:
    FinishHostForTests() {
        AppState& s = *m_state;
        ApplyProfileTitle(s.profile);
        ApplyProfileLevels(s.profile);
        s.criteria.TargetTime.at(1) = 60;
        s.criteria.MinLineTime.at(1) = 90;
        s.criteria.PointRate.at(1) = 1;
        s.criteria.ClearCount.at(1) = 5;
        s.criteria.ClearPoints.at(1) = 60;
        s.login.StudentName = "佐藤　陽菜    ";
        s.login.StudentIndex = 1;
        s.login.CurrentLevel = 1;
    }

    AppState& state() { return *m_state; }
    StudentSession& session() override { return m_session; }
    Expected<void> recount() override {
        asked.push_back("count");
        if (recounting) recounting(m_state->counts);
        if (countSucceeds) return {};
        return Unexpected(Failure{"成績累積データ.dat", "読めません"});
    }
    Expected<void> recordRun(int) override { return {}; }
    void endWithFailure(const Failure& failure) override {
        asked.push_back("end: " + failure.problem);
    }
    void showWaitWindow() override { asked.push_back("wait window"); }
    void showMenu() override { asked.push_back("menu"); }
    void runAgain() override { asked.push_back("run again"); }

    /// The run just recorded took `seconds` (99999: timed out).
    void finishedRun(std::int32_t seconds) {
        m_state->run.RecordedTime = seconds;
        m_state->run.TimeUp = seconds == kNoTime ? 1 : 0;
    }
    /// The finish screen loaded, shown and activated as the screen flow does it.
    std::unique_ptr<FrmSyuuryou> open() {
        auto finish = std::make_unique<FrmSyuuryou>(*this);
        finish->Form_Load();
        showScreen(finish.get());
        finish->Form_Activate();
        return finish;
    }

    testing::RecordingCues recordingCues;
    std::vector<std::string> asked;
    std::function<void(CountTables&)> recounting;
    bool countSucceeds = true;

private:
    std::unique_ptr<AppState> m_state = std::make_unique<AppState>();
    testing::FakeClock m_clock{{2026, 12, 10}, 10 * 3600.0};
    testing::ScriptedRandom m_random{std::vector<double>(10, 0.5)};
    StudentSession m_session{*m_state, *this, m_clock, m_random, recordingCues};
};

/// What the finish screen shows and plays for a run, and where its buttons lead.
class FinishWindowsTest : public QObject {
    Q_OBJECT

private:
    static QPushButton* button(QWidget* window, const QString& name) {
        return window->findChild<QPushButton*>(name);
    }

private slots:
    void initTestCase() { setUpApplication(); }

    void aLevelBestIsCelebratedAndMenuLeadsBackToTheMenu() {
        FinishHostForTests host;
        host.finishedRun(48);
        host.state().counts.NewLevelBest = 1;
        host.state().counts.NewPersonalBest = 1;
        // The recount finds the run: the first of level 1 today, and two of a level above 15,
        // which the finish screen's total includes.
        host.recounting = [](CountTables& counts) {
            counts.TodayRunCounts.at(1, 1) = 1;
            counts.TodayRunCounts.at(20, 1) = 2;
        };
        const auto finish = host.open();
        QCOMPARE(finish->windowTitle(), QStringLiteral("終了"));
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label15")), QStringLiteral("概算"));
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label16")), QStringLiteral("レベル１"));
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label17")), QStringLiteral("佐藤　陽菜"));
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label18")),
                 QStringLiteral("今の成績：48秒"));
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label19")),
                 QStringLiteral("獲得ポイント：5点×1→5点"));
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label20")),
                 QStringLiteral("！！！最高新記録！！！"));
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label13")),
                 QStringLiteral(" (このレベル　1回目)"));
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label14")), QStringLiteral("（3回目)"));
        QCOMPARE(host.state().login.TodayRunTotal, 3);
        QVERIFY(!isShown(finish.get(), QStringLiteral("Label2")));
        QCOMPARE(host.recordingCues.played, std::vector<std::string>{"best"});
        // Shown once: a later activation would not celebrate again.
        QCOMPARE(host.state().counts.NewLevelBest, 0);
        QCOMPARE(host.state().counts.NewPersonalBest, 0);

        QTRY_VERIFY(isShown(finish.get(), QStringLiteral("Command4")));
        QVERIFY(isShown(finish.get(), QStringLiteral("Command5")));
        QVERIFY(button(finish.get(), QStringLiteral("Command4"))->hasFocus());
        testing::saveScreenshot(*finish, QStringLiteral("finish"));
        QTest::keyClick(button(finish.get(), QStringLiteral("Command4")), Qt::Key_Return);
        button(finish.get(), QStringLiteral("Command5"))->click();
        QCOMPARE(host.asked, (std::vector<std::string>{"count", "menu"}));
    }

    void theMessageAndTheSoundOfARun_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("personalBest");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("points");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("cue");
        QTest::newRow("timed out")
            << 99999 << false << QStringLiteral("記録なし")
            << QStringLiteral("獲得ポイント：0点×1→0点") << QStringLiteral("時間切れ") << QString();
        QTest::newRow("the student's own best")
            << 30 << true << QStringLiteral("今の成績：30秒")
            << QStringLiteral("獲得ポイント：11点×1→11点") << QStringLiteral("新記録おめでとう")
            << QStringLiteral("personal best");
        QTest::newRow("no record within the minimum line")
            << 90 << false << QStringLiteral("今の成績：90秒")
            << QStringLiteral("獲得ポイント：4点×1→4点") << QString() << QStringLiteral("fail");
        QTest::newRow("no record beyond the minimum line")
            << 91 << false << QStringLiteral("今の成績：91秒")
            << QStringLiteral("獲得ポイント：4点×1→4点") << QString() << QString();
    }
    void theMessageAndTheSoundOfARun() {
        QFETCH(int, seconds);
        QFETCH(bool, personalBest);
        QFETCH(QString, result);
        QFETCH(QString, points);
        QFETCH(QString, message);
        QFETCH(QString, cue);
        FinishHostForTests host;
        host.finishedRun(seconds);
        host.state().counts.NewPersonalBest = personalBest ? 1 : 0;
        const auto finish = host.open();
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label18")), result);
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label19")), points);
        QCOMPARE(isShown(finish.get(), QStringLiteral("Label20")), !message.isEmpty());
        if (!message.isEmpty())
            QCOMPARE(labelText(finish.get(), QStringLiteral("Label20")), message);
        const std::vector<std::string> cues = cue.isEmpty()
                                                  ? std::vector<std::string>{}
                                                  : std::vector<std::string>{cue.toStdString()};
        QCOMPARE(host.recordingCues.played, cues);
        if (seconds == kNoTime) testing::saveScreenshot(*finish, QStringLiteral("finish-time-up"));
    }

    void againShowsTheWaitWindowAndRunsTheLevelOnce() {
        FinishHostForTests host;
        host.finishedRun(99999);
        const auto finish = host.open();
        QTRY_VERIFY(isShown(finish.get(), QStringLiteral("Command5")));
        button(finish.get(), QStringLiteral("Command5"))->click();
        button(finish.get(), QStringLiteral("Command5"))->click();
        button(finish.get(), QStringLiteral("Command4"))->click();
        QCOMPARE(host.asked, (std::vector<std::string>{"count", "wait window", "run again"}));
    }

    void theFinalLevelClearedForTheFirstTimeShowsTheGoalAndPlaysTheFanfare() {
        FinishHostForTests host;
        host.state().profile.FinalLevel = 1;
        host.finishedRun(48);
        host.state().counts.NewPersonalBest = 1;
        host.recounting = [](CountTables& counts) {
            counts.PassWindowCount.at(1, 1) = 5;
            counts.PassWindowPoints.at(1, 1) = 60;
        };
        const auto finish = host.open();
        QVERIFY(isShown(finish.get(), QStringLiteral("Label2")));
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label2")),
                 QStringLiteral("このレベルクリア"));
        QVERIFY(isShown(finish.get(), QStringLiteral("Picture1")));
        QCOMPARE(host.recordingCues.played, (std::vector<std::string>{"personal best", "pass"}));
        QTRY_VERIFY(isShown(finish.get(), QStringLiteral("Command4")));
        QVERIFY(!isShown(finish.get(), QStringLiteral("Picture1")));
    }

    void aStudentWhoHasUsedAClearedLevelEnoughIsSentOn() {
        FinishHostForTests host;
        host.state().criteria.OveruseCount.at(1) = 3;
        host.finishedRun(48);
        host.recounting = [](CountTables& counts) {
            counts.PassWindowCount.at(1, 1) = 5;
            counts.PassWindowPoints.at(1, 1) = 60;
            counts.OveruseWindowCount.at(1, 1) = 3;
        };
        const auto finish = host.open();
        QTRY_VERIFY(isShown(finish.get(), QStringLiteral("Command4")));
        QCOMPARE(labelText(finish.get(), QStringLiteral("Label2")),
                 QStringLiteral("次のレベルへ進みましょう"));
        QVERIFY(isShown(finish.get(), QStringLiteral("Label2")));
        QVERIFY(!isShown(finish.get(), QStringLiteral("Command5")));
    }

    void aRecountThatFailsLeavesTheScreenAsItIs() {
        FinishHostForTests host;
        host.countSucceeds = false;
        host.finishedRun(48);
        host.state().counts.NewLevelBest = 1;
        const auto finish = host.open();
        QTest::qWait(700);
        QVERIFY(!isShown(finish.get(), QStringLiteral("Command4")));
        QVERIFY(labelText(finish.get(), QStringLiteral("Label18")).isEmpty());
        QVERIFY(host.recordingCues.played.empty());
        QCOMPARE(host.asked, (std::vector<std::string>{"count", "end: 読めません"}));
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::FinishWindowsTest)
#include "FinishWindowsTest.moc"

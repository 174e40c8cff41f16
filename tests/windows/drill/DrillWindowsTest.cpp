#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/AppState.h"
#include "kit/ProgramApplication.h"
#include "rules/student/StudentSession.h"
#include "support/DemoInstallation.h"
#include "support/FakeClock.h"
#include "support/RecordingCues.h"
#include "support/Screenshots.h"
#include "support/ScriptedRandom.h"
#include "windows/drill/DrillHost.h"
#include "windows/drill/MainFrm.h"

namespace gaisan {

using testing::isShown;
using testing::labelText;
using testing::shown;
using testing::type;

/// The drill screen on its own: level 1 as the demo has it (a target of 60 s, a minimum line of
/// 90 s), 佐藤　陽菜 logged in 25 minutes ago, random numbers that make every problem 460 + 460,
/// and a host that writes down what it is asked, in order.
class DrillHostForTests final : public DrillHost, public StudentResults {
public:
    DrillHostForTests() {
        AppState& s = *m_state;
        ApplyProfileTitle(s.profile);
        ApplyProfileLevels(s.profile);
        s.criteria.TargetTime.at(1) = 60;
        s.criteria.MinLineTime.at(1) = 90;
        s.common.SchoolName = "さくら学習塾";
        s.login.StudentName = "佐藤　陽菜    ";
        s.login.StudentIndex = 1;
        s.login.CurrentLevel = 1;
        s.login.LoginTime = 10 * 3600 - 25 * 60;
    }

    AppState& state() { return *m_state; }
    StudentSession& session() override { return m_session; }
    Expected<void> recount() override { return {}; }
    Expected<void> recordRun(int level) override {
        asked.push_back("record level " + std::to_string(level) + ": " +
                        std::to_string(m_state->run.RecordedTime) + " s");
        if (recordSucceeds) return {};
        return Unexpected(Failure{"成績累積データ.dat", "書き込めません"});
    }
    void endWithFailure(const Failure& failure) override {
        asked.push_back("end: " + failure.problem);
    }
    void showWaitWindow() override { asked.push_back("wait window"); }
    void waitResponsively(int seconds) override {
        asked.push_back("wait " + std::to_string(seconds) + " s");
    }
    void showFinishScreen() override { asked.push_back("finish screen"); }

    /// A drill screen loaded and activated as the screen flow does it: the run has begun.
    std::unique_ptr<MainFrm> open() {
        auto drill = std::make_unique<MainFrm>(*this);
        showScreen(drill.get());
        drill->Form_Activate();
        return drill;
    }
    /// A tick of the run clock `seconds` after the run began.
    void tickAt(MainFrm& drill, int seconds) {
        m_clock.advanceSeconds(seconds - m_state->run.ElapsedSeconds);
        QMetaObject::invokeMethod(&drill, "sTimer1_Timer");
    }
    int cuesPlayed(const std::string& cue) const {
        return static_cast<int>(
            std::count(recordingCues.played.begin(), recordingCues.played.end(), cue));
    }

    testing::RecordingCues recordingCues;
    std::vector<std::string> asked;
    bool recordSucceeds = true;

private:
    std::unique_ptr<AppState> m_state = std::make_unique<AppState>();
    testing::FakeClock m_clock{{2026, 12, 10}, 10 * 3600.0};
    testing::ScriptedRandom m_random{std::vector<double>(5000, 0.5)};
    StudentSession m_session{*m_state, *this, m_clock, m_random, recordingCues};
};

/// Runs worked by keys on the drill screen, up to the hand-over to the finish screen.
class DrillWindowsTest : public QObject {
    Q_OBJECT

private:
    static const std::vector<std::string> handOverAfter(const std::string& recorded) {
        return {recorded, "wait window", "wait 1 s", "finish screen"};
    }

private slots:
    void initTestCase() { setUpApplication(); }

    void aWholeRunByKeysIsRecordedAndHandedOver() {
        DrillHostForTests host;
        // Two runs of level 1 today so far, and some of a level above 15, which the drill
        // screen's total leaves out.
        host.state().counts.TodayRunCounts.at(1, 1) = 2;
        host.state().counts.TodayRunCounts.at(16, 1) = 5;
        const auto drill = host.open();
        QCOMPARE(host.state().run.TimeLimit, 450);
        QCOMPARE(labelText(drill.get(), QStringLiteral("InputLabel2_1")), QStringLiteral("460"));
        QCOMPARE(labelText(drill.get(), QStringLiteral("Label3")),
                 QStringLiteral("百の位までで、概算しなさい"));
        QCOMPARE(labelText(drill.get(), QStringLiteral("sLabel7")), QStringLiteral("佐藤　陽菜"));
        QCOMPARE(labelText(drill.get(), QStringLiteral("sLabel8")), QStringLiteral("レベル１"));
        QCOMPARE(labelText(drill.get(), QStringLiteral("sLabel9")), QStringLiteral("10"));
        QCOMPARE(labelText(drill.get(), QStringLiteral("sLabel14")),
                 QStringLiteral("さくら学習塾"));
        QCOMPARE(labelText(drill.get(), QStringLiteral("sLabel13")), QStringLiteral("25"));
        QCOMPARE(labelText(drill.get(), QStringLiteral("sLabel12")), QStringLiteral("3"));
        QCOMPARE(labelText(drill.get(), QStringLiteral("sLabel11")), QStringLiteral("3"));

        type(drill.get(), QStringLiteral("500 500 "));
        testing::saveScreenshot(*drill, QStringLiteral("drill-mid-run"));
        type(drill.get(), QStringLiteral("100 "));
        QVERIFY(isShown(drill.get(), QStringLiteral("HyoujiLabel_5")));
        QCOMPARE(labelText(drill.get(), QStringLiteral("HyoujiLabel_5")), QStringLiteral("1000"));
        QVERIFY(!isShown(drill.get(), QStringLiteral("HyoujiLabel_3")));
        QVERIFY(isShown(drill.get(), QStringLiteral("seikaihyoujiLabel")));
        testing::saveScreenshot(*drill, QStringLiteral("drill-wrong-answer"));
        type(drill.get(), QStringLiteral("++"));
        QVERIFY(!isShown(drill.get(), QStringLiteral("seikaihyoujiLabel")));

        // Full-width digits from an input method left on count as digits.
        type(drill.get(), QStringLiteral("５００ 500 1000 "));
        QCOMPARE(labelText(drill.get(), QStringLiteral("sLabel9")), QStringLiteral("9"));
        for (int answer = 2; answer <= 9; ++answer)
            type(drill.get(), QStringLiteral("500 500 1000 "));
        QCOMPARE(labelText(drill.get(), QStringLiteral("sLabel9")), QStringLiteral("1"));
        host.tickAt(*drill, 48);
        QCOMPARE(labelText(drill.get(), QStringLiteral("sLabel10")), QStringLiteral("48"));
        QVERIFY(host.asked.empty());

        type(drill.get(), QStringLiteral("500 500 1000 "));
        QVERIFY(isShown(drill.get(), QStringLiteral("lblsss1")));
        QVERIFY(!isShown(drill.get(), QStringLiteral("lblsss2")));
        QCOMPARE(host.asked, handOverAfter("record level 1: 48 s"));
        QCOMPARE(host.cuesPlayed("correct"), 10);
        QCOMPARE(host.cuesPlayed("wrong"), 1);

        // Keys after the end change nothing and hand over nothing more.
        type(drill.get(), QStringLiteral("500 500 1000 "));
        QCOMPARE(host.asked.size(), std::size_t{4});
    }

    void aRunThatReachesTheTimeLimitIsRecordedAsTimeUpAndTheNextBeginsAfresh() {
        DrillHostForTests host;
        const auto drill = host.open();
        type(drill.get(), QStringLiteral("500 500 1000 "));
        host.tickAt(*drill, 449);
        QCOMPARE(host.state().run.TimeUp, 0);
        QVERIFY(host.asked.empty());
        host.tickAt(*drill, 450);
        QCOMPARE(host.state().run.TimeUp, 1);
        QVERIFY(isShown(drill.get(), QStringLiteral("lblsss2")));
        QVERIFY(!isShown(drill.get(), QStringLiteral("lblsss1")));
        testing::saveScreenshot(*drill, QStringLiteral("drill-time-up"));
        QCOMPARE(host.asked, handOverAfter("record level 1: 99999 s"));

        // "もう一度": a fresh drill screen on what the timed-out run left behind.
        host.asked.clear();
        const auto again = host.open();
        QCOMPARE(host.state().run.TimeUp, 0);
        QCOMPARE(host.state().run.EndOfRunStarted, 0);
        QCOMPARE(labelText(again.get(), QStringLiteral("sLabel9")), QStringLiteral("10"));
        type(again.get(), QStringLiteral("500 500 1000 "));
        QCOMPARE(labelText(again.get(), QStringLiteral("sLabel9")), QStringLiteral("9"));
        host.tickAt(*again, 449);
        QCOMPARE(host.state().run.TimeUp, 0);
        QVERIFY(host.asked.empty());
    }

    void aRecordThatCannotBeWrittenEndsTheRunThere() {
        DrillHostForTests host;
        host.recordSucceeds = false;
        const auto drill = host.open();
        for (int answer = 1; answer <= 10; ++answer)
            type(drill.get(), QStringLiteral("500 500 1000 "));
        QCOMPARE(host.asked,
                 (std::vector<std::string>{"record level 1: 0 s", "end: 書き込めません"}));
    }

    // The screen flow's part: the sound watch ends the program from within a run.
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

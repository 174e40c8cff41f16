#include "rules/student/StudentSession.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/ProgramProfile.h"
#include "platform/PosixRecordFile.h"
#include "rules/student/ResultsAccess.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/RecordingCues.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// A visit as the demo's level 1 has it (a target of 60 s, a minimum line of 90 s, so a limit
/// of 450 s), by 佐藤　陽菜, student 1, on a real results file; random numbers that make every
/// problem 460 + 460.
class StudentSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppState& s = *state;
        ApplyProfileTitle(s.profile);
        ApplyProfileLevels(s.profile);
        s.profile.AllLevelsOpen = 0;  // so that level 2 waits for level 1 to be cleared
        s.criteria.TargetTime.at(1) = 60;
        s.criteria.MinLineTime.at(1) = 90;
        s.criteria.PointRate.at(1) = 1;
        s.criteria.ClearCount.at(1) = 5;
        s.criteria.ClearPoints.at(1) = 60;
        s.roster.RosterNames.at(1) = "佐藤　陽菜    ";
        s.roster.RosterGradeLabels.at(1) = "小３";
        s.roster.RosterNames.at(2) = "鈴木　蓮";
        s.roster.RosterGradeLabels.at(2) = "小４";
        s.locations.ProgramDataFolder = folder.path().string() + "/";
        ASSERT_TRUE(results.checkWritable());
    }

    /// Sets a run of `level` up, with hooks that count the ends of the run they are asked for.
    RunHeading start(int level) {
        EXPECT_TRUE(session.chooseLevel(level));
        RunHeading heading = session.startRun({[] {}, [] {}, [this] { ++endsAsked; }, {}});
        session.beginWorking();
        return heading;
    }
    /// One right answer to 460 + 460, typed over three seconds.
    void answerRightly() {
        clock.advanceSeconds(3);
        for (const char key : std::string("500 500 1000 "))
            session.entry().Form_KeyPress(static_cast<unsigned char>(key));
    }

    testing::TempFolder folder;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    testing::FakeClock clock{{2026, 12, 10}, 10 * 3600.0};
    testing::ScriptedRandom random{std::vector<double>(5000, 0.5)};
    testing::RecordingCues cues;
    PosixRecordFile file;
    ResultsAccess results{*state, file, clock, [](int) {}, [](const std::string&) {}};
    StudentSession session{*state, results, clock, random, cues};
    int endsAsked = 0;
};

TEST_F(StudentSessionTest, AVisitLogsInRunsAnOpenLevelAndRecordsTheRunOnce) {
    session.logIn(1);
    EXPECT_EQ(session.login().StudentName, "佐藤　陽菜    ");
    EXPECT_EQ(session.login().StudentGradeLabel, "小３");
    clock.advanceSeconds(150);
    EXPECT_EQ(session.minutesSinceLogIn(), 2);

    // A level that is not open yet is refused and changes nothing.
    const LevelAvailability levels = session.levels();
    EXPECT_TRUE(levels.enabled.at(1));
    EXPECT_FALSE(levels.enabled.at(2));
    EXPECT_FALSE(session.chooseLevel(2));
    EXPECT_FALSE(session.chooseLevel(0));
    EXPECT_EQ(session.login().CurrentLevel, 0);

    const RunHeading heading = start(1);
    EXPECT_EQ(heading.studentName, "佐藤　陽菜    ");
    EXPECT_EQ(heading.levelName, state->profile.LevelNames.at(1));
    EXPECT_EQ(heading.todayRunNumber, 1);
    EXPECT_EQ(heading.levelRunNumber, 1);
    EXPECT_EQ(heading.problemsToGo, 10);
    EXPECT_TRUE(heading.levelDefined);
    EXPECT_EQ(heading.timeLimit, 450);
    EXPECT_EQ(heading.targetTime, 60);
    EXPECT_EQ(heading.minLineTime, 90);

    for (int answer = 1; answer <= 10; ++answer) answerRightly();
    EXPECT_EQ(session.problemsToGo(), 0);
    EXPECT_EQ(endsAsked, 1);
    const RunClockTick tick = session.tick();
    EXPECT_EQ(tick.elapsed, 30);
    EXPECT_FALSE(tick.limitReached);
    EXPECT_FALSE(session.timeUpNow()) << "a finished run never times out";

    ASSERT_TRUE(session.beginEndOfRun());
    EXPECT_FALSE(session.beginEndOfRun()) << "the end of a run begins once";
    EXPECT_EQ(session.finishingRunNumber(), 1);
    ASSERT_TRUE(session.recordRun());
    const std::vector<ResultRecord> recorded = testing::recordsIn(folder / "成績累積データ.dat");
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].StudentIndex, 1);
    EXPECT_EQ(recorded[0].LevelIndex, 1);
    EXPECT_EQ(recorded[0].ResultSeconds, 30);

    const auto finish = session.finish();
    ASSERT_TRUE(finish);
    EXPECT_EQ(finish->resultLine, "今の成績：30秒");
    EXPECT_EQ(finish->levelRunText, " (このレベル　1回目)");
    EXPECT_EQ(finish->todayRunText, "（1回目)");
    EXPECT_EQ(finish->plan.message, FinishMessage::LevelBest);
    EXPECT_EQ(finish->messageText, "！！！最高新記録！！！");
    EXPECT_TRUE(session.playMessageSound(finish->plan));
    EXPECT_EQ(cues.played.back(), "best");
    EXPECT_EQ(state->counts.NewLevelBest, 0) << "the news is told once";
    EXPECT_TRUE(session.retryChoice().offerRetry);
}

TEST_F(StudentSessionTest, ARunPastItsLimitEndsAsATimeUpAndIsRecordedWithoutATime) {
    session.logIn(1);
    start(1);
    answerRightly();
    clock.advanceSeconds(446);
    const RunClockTick tick = session.tick();
    EXPECT_EQ(tick.elapsed, 449);
    EXPECT_FALSE(tick.limitReached);
    EXPECT_FALSE(session.timeUpNow());
    clock.advanceSeconds(1);
    ASSERT_TRUE(session.tick().limitReached);
    ASSERT_TRUE(session.timeUpNow());
    ASSERT_TRUE(session.beginEndOfRun());
    ASSERT_TRUE(session.recordRun());
    EXPECT_EQ(session.run().RecordedTime, kNoTime);

    const auto finish = session.finish();
    ASSERT_TRUE(finish);
    EXPECT_EQ(finish->messageText, "時間切れ");
    EXPECT_EQ(finish->resultLine, "記録なし");
    EXPECT_FALSE(session.playMessageSound(finish->plan)) << "a time-up plays no sound";
}

TEST_F(StudentSessionTest, ARunThatCannotBeRecordedIsAFailureNamingTheResultsFile) {
    session.logIn(1);
    start(1);
    for (int answer = 1; answer <= 10; ++answer) answerRightly();
    const std::filesystem::path gone = folder / "gone";
    state->locations.ProgramDataFolder = gone.string() + "/";
    ResultsAccess elsewhere{*state, file, clock, [](int) {}, [](const std::string&) {}};
    StudentSession visit{*state, elsewhere, clock, random, cues};
    const Expected<void> recorded = visit.recordRun();
    ASSERT_FALSE(recorded);
    EXPECT_EQ(recorded.error().file, gone / "成績累積データ.dat");
    EXPECT_FALSE(recorded.error().problem.empty());
}

TEST_F(StudentSessionTest, VisitsServedInTurnKeepTheirOwnLogInRunAndNews) {
    StudentVisit other;
    session.logIn(1);
    start(1);
    answerRightly();
    session.entry().Form_KeyPress('5');

    // A second visit takes the session: a log-in and a run of its own, from scratch.
    session.exchangeVisit(other);
    EXPECT_EQ(session.login().StudentIndex, 0);
    EXPECT_FALSE(session.hasRun());
    session.chooseGradeBand("小４");
    session.logIn(2);
    start(1);
    for (int answer = 1; answer <= 10; ++answer) answerRightly();
    ASSERT_TRUE(session.beginEndOfRun());
    ASSERT_TRUE(session.recordRun());
    EXPECT_EQ(state->counts.NewLevelBest, 1);

    // Back to the first: its run goes on where it was, and the second's news is not its own.
    session.exchangeVisit(other);
    EXPECT_EQ(session.login().StudentIndex, 1);
    EXPECT_EQ(state->roster.SelectedGradeBand, "全学年");
    EXPECT_EQ(state->counts.NewLevelBest, 0);
    EXPECT_EQ(session.problemsToGo(), 9);
    EXPECT_EQ(session.entry().currentEntry(), "5");
    EXPECT_EQ(session.run().Answers.size(), 1u);
    EXPECT_EQ(session.run().EndOfRunStarted, 0);

    session.exchangeVisit(other);
    EXPECT_EQ(session.login().StudentIndex, 2);
    const auto finish = session.finish();
    ASSERT_TRUE(finish);
    EXPECT_EQ(finish->studentName, "鈴木　蓮");
    EXPECT_EQ(finish->plan.message, FinishMessage::LevelBest);
    const auto recorded = testing::recordsIn(folder / "成績累積データ.dat");
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].StudentIndex, 2);
}

}  // namespace
}  // namespace gaisan

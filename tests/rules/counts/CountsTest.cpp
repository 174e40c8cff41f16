#include "rules/counts/Counts.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/AppState.h"
#include "platform/PosixRecordFile.h"
#include "support/ExpectedAssertions.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

constexpr CivilDate kToday{2026, 12, 10};

CriteriaTable criteriaWith(std::int32_t target, float rate) {
    CriteriaTable criteria;
    criteria.TargetTime.at(1) = target;
    criteria.PointRate.at(1) = rate;
    return criteria;
}

TEST(RunPointsRule, ScoresTimesAgainstTheTarget) {
    const struct {
        std::int32_t target;
        float rate;
        std::int32_t seconds;
        std::int32_t points;
    } cases[] = {
        {100, 1, 0, 55},    {100, 1, 50, 11},      {100, 1, 62, 7},
        {100, 1, 100, 5},   {100, 1, 101, 4},      {100, 1, 150, 4},
        {100, 1, 199, 4},   {100, 1, 200, 1},      {100, 1, 999, 1},
        {100, 1, 1000, 0},  {100, 1, 99998, 0},    {100, 1, 99999, 0},
        {100, 1.5, 50, 16}, {100, 1.5, 62, 10},    {100, 1.5, 100, 7},
        {100, 1.5, 200, 1}, {100, 2, 0, 110},      {0, 1, 0, 5},
        {0, 1, 5, 0},       {100000, 1, 99999, 0},  // the time-up mark scores nothing, whatever the
                                                    // target
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RunPointsRule(c.seconds, 1, criteriaWith(c.target, c.rate)), c.points)
            << "target " << c.target << " rate " << c.rate << " time " << c.seconds;
    }
}

LoadedRecord recordOn(CivilDate date, int student, std::int32_t seconds, int level = 1) {
    return {static_cast<double>(daySerial(date)), 0.5, static_cast<std::int16_t>(student),
            static_cast<std::int16_t>(level), seconds};
}

CivilDate daysBefore(int days) { return dateOfSerial(daySerial(kToday) - days); }

class CountingTest : public ::testing::Test {
protected:
    void SetUp() override {
        criteria.TargetTime.at(1) = 100;
        criteria.PointRate.at(1) = 1;
        criteria.PassDays.at(1) = 7;
        criteria.OveruseDays.at(1) = 1;
    }
    void count() { countRecords(records, criteria, {kToday, 9 * 3600.0}, *counts); }

    CriteriaTable criteria;
    LoadedRecords records;
    std::unique_ptr<CountTables> counts = std::make_unique<CountTables>();
};

TEST_F(CountingTest, WindowsCoverTodayAndTheDaysBeforeIt) {
    records.entries = {
        recordOn(kToday, 1, 50),          // 11 points
        recordOn(daysBefore(1), 1, 100),  // 5
        recordOn(daysBefore(6), 1, 100),  // 5, the last day of a 7-day window
        recordOn(daysBefore(7), 1, 100),  // 5, outside it
        recordOn(kToday, 1, 99999),       // a time-up: listed, never counted, no points
        recordOn(kToday, 2, 100, 36),     // a level the tables do not count
    };
    count();
    EXPECT_EQ(counts->RunCount.at(1, 1), 4);
    EXPECT_EQ(counts->TotalPoints.at(1, 1), 26);
    EXPECT_EQ(counts->PassWindowCount.at(1, 1), 3);
    EXPECT_EQ(counts->PassWindowPoints.at(1, 1), 21);
    EXPECT_EQ(counts->OveruseWindowCount.at(1, 1), 1);
    EXPECT_EQ(counts->OveruseWindowPoints.at(1, 1), 11);
    EXPECT_EQ(counts->TodayRunCounts.at(1, 1), 1.0f);
    EXPECT_EQ(counts->TodayPoints.at(1, 1), 11);
    EXPECT_EQ(counts->RunCount.at(1, 2), 0);
}

TEST_F(CountingTest, AWindowOfNoDaysIsEmptyAndLongRunsScoreWithoutCounting) {
    criteria.PassDays.at(1) = 0;
    criteria.TargetTime.at(1) = 10000;
    records.entries = {recordOn(kToday, 3, 6000), recordOn(kToday, 3, 5999)};
    count();
    EXPECT_EQ(counts->PassWindowCount.at(1, 3), 0);
    EXPECT_EQ(counts->PassWindowPoints.at(1, 3), 0);
    EXPECT_EQ(counts->RunCount.at(1, 3), 1);
    EXPECT_EQ(counts->TodayRunCounts.at(1, 3), 1.0f);
    EXPECT_EQ(counts->TotalPoints.at(1, 3), 16) << "8 points each, the 6000-second run included";
}

TEST_F(CountingTest, ClearedLooksAtThePassWindowOverusedAtItsLimits) {
    criteria.ClearCount.at(1) = 2;
    criteria.ClearPoints.at(1) = 10;
    records.entries = {recordOn(kToday, 1, 100), recordOn(daysBefore(1), 1, 100),
                       recordOn(daysBefore(30), 2, 50), recordOn(daysBefore(30), 2, 50)};
    count();
    EXPECT_TRUE(LevelCleared(1, 1, criteria, *counts));
    EXPECT_FALSE(LevelCleared(1, 2, criteria, *counts)) << "cleared long ago, outside the window";

    EXPECT_FALSE(LevelOverused(1, 1, criteria, *counts)) << "no limits set";
    criteria.OveruseCount.at(1) = 1;
    EXPECT_TRUE(LevelOverused(1, 1, criteria, *counts));
    criteria.OveruseCount.at(1) = 2;
    EXPECT_FALSE(LevelOverused(1, 1, criteria, *counts));
    criteria.OverusePoints.at(1) = 5;
    EXPECT_TRUE(LevelOverused(1, 1, criteria, *counts));
}

TEST_F(CountingTest, TheGoalIsTheFinalLevelClearedInThePassWindow) {
    criteria.ClearCount.at(1) = 1;
    records.entries = {recordOn(kToday, 1, 100), recordOn(daysBefore(30), 2, 50)};
    count();
    EXPECT_TRUE(goalCleared(1, 1, criteria, *counts));
    EXPECT_FALSE(goalCleared(1, 2, criteria, *counts)) << "cleared long ago, outside the window";
    EXPECT_FALSE(goalCleared(1, 3, criteria, *counts));
    // A criteria title line of 0 needs nothing: only a real final level is a goal.
    EXPECT_TRUE(LevelCleared(0, 3, criteria, *counts));
    EXPECT_FALSE(goalCleared(0, 3, criteria, *counts));
}

TEST_F(CountingTest, TheDrillScreenCountsTodaysRunsOnTheFirstFifteenLevelsOnly) {
    for (const int level : {1, 4, 15, 16, 35})
        records.entries.push_back(recordOn(kToday, 1, 100, level));
    records.entries.push_back(recordOn(kToday, 1, 100, 4));
    records.entries.push_back(recordOn(daysBefore(1), 1, 100, 4));
    records.entries.push_back(recordOn(kToday, 1, 99999, 4));
    records.entries.push_back(recordOn(kToday, 2, 100, 4));
    count();
    EXPECT_EQ(todayRunTotal(*counts, 1, kHighestLevel), 6)
        << "the level menu and the finish screen";
    // Deliberately fewer: the drill screen has always left out levels 16 and above.
    EXPECT_EQ(todayRunTotal(*counts, 1, kDrillRunTotalLastLevel), 4) << "the drill screen";
    EXPECT_EQ(todayRunTotal(*counts, 3, kHighestLevel), 0);
}

/// A whole data folder: the results file on disk, counted and appended to as the program does.
class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        state->criteria.TargetTime.at(2) = 100;
        state->criteria.PointRate.at(2) = 1;
        state->criteria.PassDays.at(2) = 30;
        state->criteria.ClearCount.at(2) = 2;
        state->criteria.ClearPoints.at(2) = 10;
        state->login.StudentIndex = 7;
    }
    std::filesystem::path path() const { return folder / "成績累積データ.dat"; }
    void finishRun(std::int32_t seconds) {
        state->run.RecordedTime = seconds;
        state->counts.NewPersonalBest = 0;
        state->counts.NewLevelBest = 0;
        ASSERT_TRUE(testing::succeeded(ComputeCounts(*state, results, clock.now())));
        ASSERT_TRUE(testing::succeeded(RecordRunResult(*state, results, 2)));
    }

    testing::TempFolder folder;
    testing::FakeClock clock{kToday, 9 * 3600.0};
    PosixRecordFile file;
    ResultsFile results{file, path(), clock, [](int) {}};
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
};

TEST_F(RecordingTest, NewBestsNeedAStrictlyBetterTime) {
    testing::appendRecords(path(), {testing::runRecord(1, 2, 60, kToday)});
    finishRun(80);
    EXPECT_EQ(state->counts.NewPersonalBest, 1);
    EXPECT_EQ(state->counts.NewLevelBest, 0);
    finishRun(80);
    EXPECT_EQ(state->counts.NewPersonalBest, 0) << "equalling a best is no new best";
    finishRun(99999);
    EXPECT_EQ(state->counts.NewPersonalBest, 0);
    EXPECT_EQ(state->counts.NewLevelBest, 0);
    finishRun(59);
    EXPECT_EQ(state->counts.NewPersonalBest, 1);
    EXPECT_EQ(state->counts.NewLevelBest, 1);
    EXPECT_EQ(state->counts.LevelBestTime.at(2), 59);

    ASSERT_TRUE(testing::succeeded(ComputeCounts(*state, results, clock.now())));
    EXPECT_EQ(state->records.entries.size(), 5u);
    EXPECT_EQ(state->counts.RunCount.at(2, 7), 3);
    EXPECT_EQ(state->counts.BestTime.at(2, 7), 59);
}

TEST_F(RecordingTest, WasClearedBeforeLooksAtEveryLoadedRunBeforeThisOne) {
    // Two good runs 60 days ago: outside the 30-day pass window, inside the loaded runs.
    const CivilDate longAgo = dateOfSerial(daySerial(kToday) - 60);
    finishRun(100);
    EXPECT_EQ(state->counts.WasClearedBefore, 0);
    std::filesystem::remove(path());
    testing::appendRecords(
        path(), {testing::runRecord(7, 2, 50, longAgo), testing::runRecord(7, 2, 50, longAgo)});
    finishRun(100);
    EXPECT_EQ(state->counts.WasClearedBefore, 1);
    EXPECT_FALSE(LevelCleared(2, 7, state->criteria, state->counts));
}

TEST_F(RecordingTest, CountingTwiceGivesTheSameTables) {
    testing::appendRecords(
        path(), {testing::runRecord(7, 2, 50, kToday), testing::runRecord(8, 2, 150, kToday)});
    ASSERT_TRUE(testing::succeeded(ComputeCounts(*state, results, clock.now())));
    const std::int32_t points = state->counts.TotalPoints.at(2, 7);
    const std::int16_t runs = state->counts.RunCount.at(2, 8);
    ASSERT_TRUE(testing::succeeded(ComputeCounts(*state, results, clock.now())));
    EXPECT_EQ(state->counts.TotalPoints.at(2, 7), points);
    EXPECT_EQ(state->counts.RunCount.at(2, 8), runs);
    EXPECT_EQ(points, 11);
    EXPECT_EQ(runs, 1);
}

}  // namespace
}  // namespace gaisan

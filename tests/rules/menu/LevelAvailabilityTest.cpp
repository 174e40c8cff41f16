#include "rules/menu/LevelAvailability.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "base/AppState.h"
#include "rules/menu/LevelColumnTexts.h"

namespace gaisan {
namespace {

constexpr int kStudent = 5;
constexpr int kLevels = 4;

/// "1011": one digit per level 1..LevelCount.
std::string flags(const std::vector<bool>& byLevel) {
    std::string text;
    for (std::size_t level = 1; level < byLevel.size(); ++level) text += byLevel[level] ? '1' : '0';
    return text;
}

/// Four levels, the last one final; each cleared by 3 passes and 30 points and closed by 10 runs
/// in its over-use window.
class LevelAvailabilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        state->profile.LevelCount = kLevels;
        state->profile.FinalLevel = kLevels;
        state->login.StudentIndex = kStudent;
        state->login.StudentName = "たろう";
        for (int level = 1; level <= kLevels + 1; ++level) {
            state->profile.LevelNames.at(level) = "レベル" + std::to_string(level);
            state->criteria.ClearCount.at(level) = 3;
            state->criteria.ClearPoints.at(level) = 30;
            state->criteria.OveruseCount.at(level) = 10;
        }
    }
    void clear(int level) {
        state->counts.PassWindowCount.at(level, kStudent) = 3;
        state->counts.PassWindowPoints.at(level, kStudent) = 30;
    }
    void overuse(int level) { state->counts.OveruseWindowCount.at(level, kStudent) = 10; }

    std::unique_ptr<AppState> state = std::make_unique<AppState>();
};

TEST_F(LevelAvailabilityTest, OpensLevelsByProgressAndClosesOverusedOnes) {
    const struct {
        const char* what;
        int allOpen;
        const char* studentName;
        std::set<int> practice, cleared, overused, noTarget;
        const char* enabled;
        const char* marks;
        int goalCleared;
    } cases[] = {
        {"all open, level 2 over-used", 1, "たろう", {}, {}, {2}, {}, "1011", "0100", 0},
        {"all open, final level cleared", 1, "たろう", {}, {4}, {1, 2, 3}, {}, "1111", "0000", 1},
        {"the last level is never closed", 1, "たろう", {}, {}, {4}, {}, "1111", "0000", 0},
        {"an over-used practice level", 1, "たろう", {2}, {}, {2}, {}, "1111", "0000", 0},
        {"nothing cleared", 0, "たろう", {}, {}, {}, {}, "1000", "0000", 0},
        {"a practice level after a closed one", 0, "たろう", {3}, {}, {}, {}, "1010", "0000", 0},
        {"practice levels open their successors",
         0,
         "たろう",
         {1, 2},
         {},
         {},
         {},
         "1110",
         "0000",
         0},
        {"until a level is closed", 0, "たろう", {1, 3}, {}, {}, {}, "1110", "0000", 0},
        {"cleared levels open the next", 0, "たろう", {}, {1, 2}, {}, {}, "1110", "0000", 0},
        {"an unopened level is not marked", 0, "たろう", {}, {1}, {2}, {}, "1100", "0000", 0},
        {"an open level 1 can be closed", 0, "たろう", {}, {1}, {1}, {}, "0100", "1000", 0},
        {"a successor without a target", 0, "たろう", {}, {}, {}, {2}, "1100", "0000", 0},
        {"the teacher", 0, "  先生  ", {}, {}, {}, {}, "1111", "0000", 0},
        {"the teacher is still closed out", 0, "先生", {}, {}, {1}, {}, "0111", "1000", 0},
        {"not quite the teacher", 0, "先生さん", {}, {}, {}, {}, "1000", "0000", 0},
    };
    for (const auto& c : cases) {
        state = std::make_unique<AppState>();
        SetUp();
        state->profile.AllLevelsOpen = c.allOpen;
        state->login.StudentName = c.studentName;
        for (int level : c.practice)
            state->profile.LevelNames.at(level) = "レベル" + std::to_string(level) + "練習";
        for (int level : c.cleared) clear(level);
        for (int level : c.overused) overuse(level);
        for (int level : c.noTarget) state->criteria.ClearPoints.at(level) = 9999;

        const LevelAvailability shown = refreshLevelAvailability(*state);
        EXPECT_EQ(flags(shown.enabled), c.enabled) << c.what;
        EXPECT_EQ(flags(shown.overuseMark), c.marks) << c.what;
        EXPECT_EQ(shown.goalCleared, c.goalCleared) << c.what;
    }
}

TEST_F(LevelAvailabilityTest, LimitsOfZeroAreNoLimits) {
    state->profile.AllLevelsOpen = 1;
    const struct {
        double countLimit;
        double pointsLimit;
        int runs;
        int points;
        bool marked;
    } cases[] = {
        {0, 0, 500, 50000, false}, {10, 0, 9, 50000, false}, {10, 0, 10, 0, true},
        {0, 100, 500, 99, false},  {0, 100, 0, 100, true},
    };
    for (const auto& c : cases) {
        state->criteria.OveruseCount.at(1) = c.countLimit;
        state->criteria.OverusePoints.at(1) = c.pointsLimit;
        state->counts.OveruseWindowCount.at(1, kStudent) = static_cast<std::int16_t>(c.runs);
        state->counts.OveruseWindowPoints.at(1, kStudent) = c.points;
        const LevelAvailability shown = refreshLevelAvailability(*state);
        EXPECT_EQ(shown.overuseMark[1], c.marked)
            << "limits " << c.countLimit << "/" << c.pointsLimit << ", " << c.runs << " runs, "
            << c.points << " points";
        EXPECT_EQ(shown.enabled[1], !c.marked);
    }
}

class LevelColumnTextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        state->login.StudentIndex = kStudent;
        state->profile.LevelDefined.at(1) = 1;
    }
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
};

TEST_F(LevelColumnTextsTest, CriteriaLineShowsTheTargetsOrOnlyTheTimeWithoutAPointsTarget) {
    const struct {
        std::int32_t target;
        std::int16_t clearCount;
        std::int32_t clearPoints;
        float rate;
        const char* line;
    } cases[] = {
        {45, 3, 30, 1, "目標=45秒 3回/30点(×1)"},
        {60, 5, 100, 1.5f, "目標=60秒 5回/100点(×1.5)"},
        {120, 0, 0, 0.1f, "目標=120秒 0回/0点(×0.1)"},
        {30, 3, 9999, 2, "目標=30秒 --------"},
    };
    for (const auto& c : cases) {
        state->criteria.TargetTime.at(1) = c.target;
        state->criteria.ClearCount.at(1) = c.clearCount;
        state->criteria.ClearPoints.at(1) = c.clearPoints;
        state->criteria.PointRate.at(1) = c.rate;
        EXPECT_EQ(criteriaLine(*state, 1), c.line);
    }
}

TEST_F(LevelColumnTextsTest, PassWindowLineShowsTheStudentsWindow) {
    state->criteria.PassDays.at(1) = 30;
    state->counts.PassWindowCount.at(1, kStudent) = 4;
    state->counts.PassWindowPoints.at(1, kStudent) = 57;
    EXPECT_EQ(passWindowLine(*state, 1), "最近30日=4回 / 57点");
    state->criteria.PassDays.at(1) = 7.5;
    state->counts.PassWindowCount.at(1, kStudent) = 0;
    state->counts.PassWindowPoints.at(1, kStudent) = 0;
    EXPECT_EQ(passWindowLine(*state, 1), "最近7.5日=0回 / 0点");
}

TEST_F(LevelColumnTextsTest, LevelsTheProfileDoesNotDefineShowNoCriteria) {
    state->criteria.TargetTime.at(2) = 45;
    state->criteria.PassDays.at(2) = 30;
    EXPECT_EQ(criteriaLine(*state, 2), "");
    EXPECT_EQ(passWindowLine(*state, 2), "");
}

TEST_F(LevelColumnTextsTest, CountLinesShowDashesWithoutACountedRun) {
    CountTables& counts = state->counts;
    counts.RunCount.at(1, kStudent) = 12;
    counts.TotalPoints.at(1, kStudent) = 345;
    counts.TodayRunCounts.at(1, kStudent) = 3;
    counts.TodayPoints.at(1, kStudent) = 40;
    EXPECT_EQ(totalsLine(*state, 1), "12回/345点");
    EXPECT_EQ(todayLine(*state, 1), "3回/40点");

    // Runs too long to count still score: the points alone do not make a line.
    counts.RunCount.at(1, kStudent) = 0;
    counts.TodayRunCounts.at(1, kStudent) = 0;
    EXPECT_EQ(totalsLine(*state, 1), "------");
    EXPECT_EQ(todayLine(*state, 1), "-----");
}

TEST(StartCaption, NamesTheLevelAsTheShortcut) {
    EXPECT_EQ(startCaption(1), "ｽﾀｰﾄ(&1)");
    EXPECT_EQ(startCaption(12), "ｽﾀｰﾄ(&12)");
}

}  // namespace
}  // namespace gaisan

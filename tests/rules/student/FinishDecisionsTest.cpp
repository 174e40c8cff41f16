#include "rules/student/FinishDecisions.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/AppState.h"

namespace gaisan {
namespace {

/// Student 7 has just finished a run on `level` of a four-level profile whose level 4 is final.
/// Clearing takes 2 passes and 10 points in the pass window; over-use comes at 3 runs.
std::unique_ptr<AppState> finishedRun(int level) {
    auto state = std::make_unique<AppState>();
    ApplyProfileLevels(state->profile);
    state->login.StudentIndex = 7;
    state->login.CurrentLevel = level;
    for (int l = 1; l <= 4; ++l) {
        state->criteria.TargetTime.at(l) = 60;
        state->criteria.MinLineTime.at(l) = 90;
        state->criteria.PointRate.at(l) = 1.5f;
        state->criteria.ClearCount.at(l) = 2;
        state->criteria.ClearPoints.at(l) = 10;
        state->criteria.OveruseCount.at(l) = 3;
    }
    state->run.RecordedTime = 50;
    return state;
}

void clear(AppState& state, int level) {
    state.counts.PassWindowCount.at(level, 7) = 2;
    state.counts.PassWindowPoints.at(level, 7) = 10;
}

void overuse(AppState& state, int level) { state.counts.OveruseWindowCount.at(level, 7) = 3; }

TEST(FinishDecisions, ExactlyOneMessageAndSound) {
    const struct {
        const char* name;
        int timeUp, personalBest, levelBest;
        std::int32_t seconds;
        FinishMessage message;
        bool failCue;
    } cases[] = {
        {"time-up", 1, 0, 0, 99999, FinishMessage::TimeUp, false},
        {"time-up wins over any flag", 1, 1, 1, 99999, FinishMessage::TimeUp, false},
        {"personal best", 0, 1, 0, 50, FinishMessage::PersonalBest, false},
        {"level best plays its sound only", 0, 1, 1, 50, FinishMessage::LevelBest, false},
        {"neither, within the minimum line", 0, 0, 0, 90, FinishMessage::None, true},
        {"neither, beyond the minimum line", 0, 0, 0, 91, FinishMessage::None, false},
    };
    for (const auto& c : cases) {
        auto state = finishedRun(1);
        state->run.TimeUp = c.timeUp;
        state->run.RecordedTime = c.seconds;
        state->counts.NewPersonalBest = c.personalBest;
        state->counts.NewLevelBest = c.levelBest;
        const FinishPlan plan = planFinish(*state);
        EXPECT_EQ(plan.message, c.message) << c.name;
        EXPECT_EQ(plan.failCue, c.failCue) << c.name;
    }
}

TEST(FinishDecisions, TheGoalBannerAndFanfareBelongToTheFinalLevel) {
    const struct {
        const char* name;
        int level;
        bool cleared;
        int wasClearedBefore;
        bool unreachableCount;
        bool clearLabel, banner, fanfare, bannerHidden;
    } cases[] = {
        {"final level cleared for the first time", 4, true, 0, false, true, true, true, false},
        {"final level cleared again", 4, true, 1, false, true, true, false, false},
        {"a clear count of 9999 blocks the banner", 4, true, 0, true, true, false, true, false},
        {"another level cleared", 2, true, 0, false, true, false, false, true},
        {"not cleared", 4, false, 0, false, false, false, false, true},
    };
    for (const auto& c : cases) {
        auto state = finishedRun(c.level);
        if (c.cleared) clear(*state, c.level);
        state->counts.WasClearedBefore = c.wasClearedBefore;
        if (c.unreachableCount) state->criteria.ClearCount.at(20) = 9999;
        const FinishPlan plan = planFinish(*state);
        EXPECT_EQ(plan.levelCleared, c.clearLabel) << c.name;
        EXPECT_EQ(plan.goalBanner, c.banner) << c.name;
        EXPECT_EQ(plan.passFanfare, c.fanfare) << c.name;
        EXPECT_EQ(plan.bannerHiddenAtGoalCheck, c.bannerHidden) << c.name;
    }
}

TEST(FinishDecisions, AStudentWhoHasUsedALevelEnoughIsSentOn) {
    const struct {
        const char* name;
        int level;
        bool cleared, overused;
        int goalCleared;
        bool retry, moveOn, labelHidden;
    } cases[] = {
        {"over-used and cleared", 2, true, true, 0, false, true, false},
        {"the same after the goal was cleared", 2, true, true, 1, true, false, false},
        {"over-used and cleared on the final level", 4, true, true, 0, true, false, true},
        {"cleared, not over-used", 2, true, false, 0, true, false, false},
        {"over-used, not cleared", 2, false, true, 0, true, false, false},
    };
    for (const auto& c : cases) {
        auto state = finishedRun(c.level);
        if (c.cleared) clear(*state, c.level);
        if (c.overused) overuse(*state, c.level);
        state->counts.GoalCleared = c.goalCleared;
        const RetryChoice choice = chooseRetry(*state);
        EXPECT_EQ(choice.offerRetry, c.retry) << c.name;
        EXPECT_EQ(choice.moveOnMessage, c.moveOn) << c.name;
        EXPECT_EQ(choice.clearLabelHidden, c.labelHidden) << c.name;
    }
}

TEST(FinishDecisions, TheResultAndPointsLines) {
    auto state = finishedRun(1);
    EXPECT_EQ(pointsLine(50, 1, *state), "獲得ポイント：5点×1.5→7点");
    EXPECT_EQ(pointsLine(0, 1, *state), "獲得ポイント：55点×1.5→82点");
    EXPECT_EQ(pointsLine(99999, 1, *state), "獲得ポイント：0点×1.5→0点");
    state->criteria.PointRate.at(1) = 1;
    EXPECT_EQ(pointsLine(60, 1, *state), "獲得ポイント：5点×1→5点");
    EXPECT_EQ(resultLine(48), "今の成績：48秒");
    EXPECT_EQ(resultLine(99999), "記録なし");
    EXPECT_EQ(resultLine(99998), "記録なし");
}

}  // namespace
}  // namespace gaisan

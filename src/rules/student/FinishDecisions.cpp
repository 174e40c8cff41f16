#include "rules/student/FinishDecisions.h"

#include "base/AppState.h"
#include "platform/Numbers.h"
#include "rules/counts/Counts.h"

namespace gaisan {
namespace {

bool someClearCountUnreachable(const CriteriaTable& criteria) {
    for (int level = 1; level <= kHighestLevel; ++level) {
        if (criteria.ClearCount.at(level) == kNoClearTarget) return true;
    }
    return false;
}

}  // namespace

FinishPlan planFinish(const AppState& state) {
    const int level = state.login.CurrentLevel;
    const int student = state.login.StudentIndex;
    const CountTables& counts = state.counts;
    const bool finalLevel = level == state.profile.FinalLevel;
    FinishPlan plan;
    plan.levelCleared = LevelCleared(level, student, state.criteria, counts);
    plan.goalBanner = plan.levelCleared && finalLevel && !someClearCountUnreachable(state.criteria);
    if (state.run.TimeUp == 1) {
        plan.message = FinishMessage::TimeUp;
    } else if (counts.NewLevelBest == 1) {
        plan.message = FinishMessage::LevelBest;
    } else if (counts.NewPersonalBest == 1) {
        plan.message = FinishMessage::PersonalBest;
    } else {
        plan.failCue = state.run.RecordedTime <= state.criteria.MinLineTime.at(level);
    }
    const bool finalCleared = plan.levelCleared && finalLevel;
    plan.passFanfare = finalCleared && counts.WasClearedBefore == 0;
    plan.bannerHiddenAtGoalCheck = !finalCleared;
    return plan;
}

std::string finishMessageText(FinishMessage message) {
    switch (message) {
        case FinishMessage::None:
            return {};
        case FinishMessage::TimeUp:
            return "時間切れ";
        case FinishMessage::PersonalBest:
            return "新記録おめでとう";
        case FinishMessage::LevelBest:
            return "！！！最高新記録！！！";
    }
    return {};
}

RetryChoice chooseRetry(const AppState& state) {
    const int level = state.login.CurrentLevel;
    const int student = state.login.StudentIndex;
    RetryChoice choice;
    if (!LevelOverused(level, student, state.criteria, state.counts) ||
        !LevelCleared(level, student, state.criteria, state.counts)) {
        return choice;
    }
    if (level == state.profile.FinalLevel) {
        choice.clearLabelHidden = true;
    } else if (state.counts.GoalCleared == 0) {
        choice.moveOnMessage = true;
        choice.offerRetry = false;
    }
    return choice;
}

std::string pointsLine(std::int32_t seconds, int level, const AppState& state) {
    const int base = runPointsBase(seconds, state.criteria.TargetTime.at(level));
    const std::int32_t total = RunPointsRule(seconds, level, state.criteria);
    return "獲得ポイント：" + std::to_string(base) + "点×" +
           shortestText(state.criteria.PointRate.at(level)) + "→" + std::to_string(total) + "点";
}

std::string resultLine(std::int32_t seconds) {
    if (seconds >= kFailedRunTime) return "記録なし";
    return "今の成績：" + std::to_string(seconds) + "秒";
}

}  // namespace gaisan

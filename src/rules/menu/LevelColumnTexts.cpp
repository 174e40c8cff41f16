#include "rules/menu/LevelColumnTexts.h"

#include "base/AppState.h"
#include "platform/Numbers.h"

namespace gaisan {
namespace {

bool isDefined(const AppState& state, int level) {
    return state.profile.LevelDefined.at(level) == 1;
}

}  // namespace

std::string criteriaLine(const AppState& state, int level) {
    if (!isDefined(state, level)) return {};
    const CriteriaTable& criteria = state.criteria;
    const std::string target = "目標=" + std::to_string(criteria.TargetTime.at(level)) + "秒";
    if (criteria.ClearPoints.at(level) == kNoClearTarget) return target + " --------";
    return target + " " + std::to_string(criteria.ClearCount.at(level)) + "回/" +
           std::to_string(criteria.ClearPoints.at(level)) + "点(×" +
           shortestText(criteria.PointRate.at(level)) + ")";
}

std::string passWindowLine(const AppState& state, int level) {
    if (!isDefined(state, level)) return {};
    const int student = state.login.StudentIndex;
    return "最近" + shortestText(state.criteria.PassDays.at(level)) +
           "日=" + std::to_string(state.counts.PassWindowCount.at(level, student)) + "回 / " +
           std::to_string(state.counts.PassWindowPoints.at(level, student)) + "点";
}

std::string totalsLine(const AppState& state, int level) {
    const int student = state.login.StudentIndex;
    const int runs = state.counts.RunCount.at(level, student);
    if (runs == 0) return "------";
    return std::to_string(runs) + "回/" +
           std::to_string(state.counts.TotalPoints.at(level, student)) + "点";
}

std::string todayLine(const AppState& state, int level) {
    const int student = state.login.StudentIndex;
    const float runs = state.counts.TodayRunCounts.at(level, student);
    if (runs == 0) return "-----";
    return shortestText(runs) + "回/" +
           std::to_string(state.counts.TodayPoints.at(level, student)) + "点";
}

std::string startCaption(int level) { return "ｽﾀｰﾄ(&" + std::to_string(level) + ")"; }

}  // namespace gaisan

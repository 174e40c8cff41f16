#include "rules/counts/Counts.h"

#include <cmath>

#include "base/AppState.h"

namespace gaisan {

int runPointsBase(std::int32_t t, std::int32_t target) {
    if (t >= kFailedRunTime || t < 0) return 0;
    if (t <= target) {
        if (target <= 0) return 5;
        const double share = static_cast<double>(target - t) / target;
        return static_cast<int>(std::floor(share * share * share * 50 + 5));
    }
    if (t < 2 * static_cast<std::int64_t>(target)) return 4;
    if (t < 10 * static_cast<std::int64_t>(target)) return 1;
    return 0;
}

std::int32_t RunPointsRule(std::int32_t seconds, int level, const CriteriaTable& criteria) {
    const int base = runPointsBase(seconds, criteria.TargetTime.at(level));
    // The rate is single precision, and so is the product: 11 × 1.5 is 16.5, cut to 16.
    const float points = static_cast<float>(base) * criteria.PointRate.at(level);
    return static_cast<std::int32_t>(std::floor(points));
}

bool LevelCleared(int level, int student, const CriteriaTable& criteria,
                  const CountTables& counts) {
    return counts.PassWindowCount.at(level, student) >= criteria.ClearCount.at(level) &&
           counts.PassWindowPoints.at(level, student) >= criteria.ClearPoints.at(level);
}

bool LevelOverused(int level, int student, const CriteriaTable& criteria,
                   const CountTables& counts) {
    const double countLimit = criteria.OveruseCount.at(level);
    const double pointsLimit = criteria.OverusePoints.at(level);
    return (countLimit != 0 && counts.OveruseWindowCount.at(level, student) >= countLimit) ||
           (pointsLimit != 0 && counts.OveruseWindowPoints.at(level, student) >= pointsLimit);
}

bool goalCleared(int finalLevel, int student, const CriteriaTable& criteria,
                 const CountTables& counts) {
    return finalLevel >= 1 && LevelCleared(finalLevel, student, criteria, counts);
}

int todayRunTotal(const CountTables& counts, int student, int lastLevel) {
    int total = 0;
    for (int level = 1; level <= lastLevel; ++level) {
        total += static_cast<int>(counts.TodayRunCounts.at(level, student));
    }
    return total;
}

void countRecords(const LoadedRecords& records, const CriteriaTable& criteria,
                  const LocalDateTime& now, CountTables& counts) {
    counts.clearCounts();

    const double today = daySerial(now.date);
    const double nowSerial = today + now.secondsSinceMidnight / 86400.0;
    for (const LoadedRecord& record : records.entries) {
        const int level = record.level;
        const int student = record.student;
        if (level < 1 || level > kHighestLevel) continue;
        const bool counted = record.seconds < kLongestCountedRun;
        const std::int32_t points = RunPointsRule(record.seconds, level, criteria);
        if (counted) ++counts.RunCount.at(level, student);
        if (record.date > nowSerial - criteria.PassDays.at(level)) {
            if (counted) ++counts.PassWindowCount.at(level, student);
            counts.PassWindowPoints.at(level, student) += points;
        }
        if (record.date > nowSerial - criteria.OveruseDays.at(level)) {
            if (counted) ++counts.OveruseWindowCount.at(level, student);
            counts.OveruseWindowPoints.at(level, student) += points;
        }
        counts.TotalPoints.at(level, student) += points;
        if (record.date == today) {
            if (counted) counts.TodayRunCounts.at(level, student) += 1;
            counts.TodayPoints.at(level, student) += points;
        }
    }
}

Expected<void> ComputeCounts(AppState& state, ResultsFile& results, const LocalDateTime& now) {
    if (auto loaded = results.LoadResultRecords(state.records, state.counts); !loaded) {
        return loaded;
    }
    countRecords(state.records, state.criteria, now, state.counts);
    return {};
}

Expected<AppendDone> RecordRunResult(AppState& state, ResultsFile& results, int level) {
    CountTables& counts = state.counts;
    const int student = state.login.StudentIndex;
    const std::int32_t seconds = state.run.RecordedTime;
    counts.WasClearedBefore =
        counts.RunCount.at(level, student) >= state.criteria.ClearCount.at(level) &&
                counts.TotalPoints.at(level, student) >= state.criteria.ClearPoints.at(level)
            ? 1
            : 0;
    std::int32_t& personalBest = counts.BestTime.at(level, student);
    if (personalBest > seconds) {
        counts.NewPersonalBest = 1;
        personalBest = seconds;
    }
    Expected<AppendDone> appended = results.AppendResultRecord(
        {student, level, seconds, state.common.SchoolCode}, state.run.Answers);
    if (!appended) return appended;
    std::int32_t& levelBest = counts.LevelBestTime.at(level);
    if (levelBest > seconds) {
        levelBest = seconds;
        counts.NewLevelBest = 1;
    }
    return appended;
}

}  // namespace gaisan

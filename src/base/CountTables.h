#pragma once

#include <cstdint>

#include "base/IndexedTables.h"

namespace gaisan {

/// No recorded run: the best time of a level and student without one, and a time-up run's time.
inline constexpr std::int32_t kNoTime = 99999;
/// A failed run's time. Neither mark is ever a time: they score nothing and are no best.
inline constexpr std::int32_t kFailedRunTime = 99998;

/// Per level and student, everything derived from the results file: counts and points over all
/// loaded runs, over the pass and over-use windows and over today, and the best times.
struct CountTables {
    LevelStudentTable<std::int16_t> RunCount;
    LevelStudentTable<std::int32_t> TotalPoints;
    LevelStudentTable<std::int16_t> PassWindowCount;
    LevelStudentTable<std::int32_t> PassWindowPoints;
    LevelStudentTable<std::int16_t> OveruseWindowCount;
    LevelStudentTable<std::int32_t> OveruseWindowPoints;
    LevelStudentTable<float> TodayRunCounts;
    LevelStudentTable<std::int32_t> TodayPoints;
    LevelStudentTable<std::int32_t> BestTime{kNoTime};
    PerLevel<std::int32_t> LevelBestTime = filledLevelBest();

    /// Sets every count and point table to 0 (not the best times), as every count begins.
    void clearCounts() {
        RunCount.fill(0);
        TotalPoints.fill(0);
        PassWindowCount.fill(0);
        PassWindowPoints.fill(0);
        OveruseWindowCount.fill(0);
        OveruseWindowPoints.fill(0);
        TodayRunCounts.fill(0);
        TodayPoints.fill(0);
    }

    /// Set by the evaluation of a finished run and read by the finish screen.
    int NewPersonalBest = 0;
    int NewLevelBest = 0;
    int WasClearedBefore = 0;
    /// 1 when the current student has cleared the final level.
    int GoalCleared = 0;

private:
    static PerLevel<std::int32_t> filledLevelBest() {
        PerLevel<std::int32_t> best;
        best.fill(kNoTime);
        return best;
    }
};

}  // namespace gaisan

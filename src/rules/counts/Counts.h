#pragma once

#include <cstdint>
#include <optional>

#include "base/CountTables.h"
#include "base/CriteriaTable.h"
#include "base/LoadedRecords.h"
#include "platform/Clock.h"
#include "stores/results/ResultsFile.h"

namespace gaisan {

struct AppState;

/// Runs of this many seconds or more are no runs: they score but are not counted.
inline constexpr std::int32_t kLongestCountedRun = 6000;

/// The points of a run before the level's point rate: see RunPointsRule.
int runPointsBase(std::int32_t seconds, std::int32_t target);

/// The points of one run of `level` that took `seconds`. With T the level's target time:
/// ⌊((T − t) / T)³ × 50 + 5⌋ up to T (55 for 0 s, 5 at T), 4 below 2T, 1 below 10T, else 0,
/// and 0 for the time-up and failure marks 99998 and 99999 and for a time below 0, which no run
/// takes; then multiplied by the level's
/// single-precision point rate and cut to a whole number. A target of 0 (a level nobody set)
/// gives 5 for a time of 0 and nothing otherwise, instead of dividing by zero.
std::int32_t RunPointsRule(std::int32_t seconds, int level, const CriteriaTable& criteria);

/// The student has enough passes and points in the level's pass window.
bool LevelCleared(int level, int student, const CriteriaTable& criteria, const CountTables& counts);

/// The student has run the level too often, or earned too many points on it, in the level's
/// over-use window. A limit of 0 is no limit.
bool LevelOverused(int level, int student, const CriteriaTable& criteria,
                   const CountTables& counts);

/// The goal of the drill: the student has cleared the final level (LevelCleared, by the pass
/// window). Without a final level (0) there is no goal to clear: slot 0 of the criteria is the
/// file's title line, never a level. The level menu works it out each time it becomes active and
/// keeps it in CountTables::GoalCleared, where the finish screen reads it.
bool goalCleared(int finalLevel, int student, const CriteriaTable& criteria,
                 const CountTables& counts);

/// The last level the drill screen's "本日…回目" counts. The drill screen counts levels 1..15,
/// the level menu and the finish screen every level (kHighestLevel): deliberate, not a slip to
/// tidy up. The screens have always counted so, and with levels 1..4 played the totals agree.
inline constexpr int kDrillRunTotalLastLevel = 15;

/// The student's runs today (TodayRunCounts) over levels 1..`lastLevel`.
int todayRunTotal(const CountTables& counts, int student, int lastLevel);

/// Rebuilds every count and point table from `records` as of `now`: a record counts in a window
/// of N days when its date is after now − N, so a window of 1 day is today only and one of 0
/// days is empty. Records of levels outside 1..35 are skipped.
void countRecords(const LoadedRecords& records, const CriteriaTable& criteria,
                  const LocalDateTime& now, CountTables& counts);

/// Loads the results file and rebuilds the loaded records, best times and count tables.
Expected<void> ComputeCounts(AppState& state, ResultsFile& results, const LocalDateTime& now);

/// Evaluates the run just finished on `level` (its time is state.run.RecordedTime) against the
/// tables as they were before it, and appends its record: sets WasClearedBefore (by all loaded
/// runs, not the pass window), NewPersonalBest and NewLevelBest, each by a strict comparison,
/// so equalling a best is not a new one and a time-up never is. The append's problems along the
/// way come with its result.
Expected<AppendDone> RecordRunResult(AppState& state, ResultsFile& results, int level);

}  // namespace gaisan

#pragma once

#include <array>
#include <cstdint>

#include "base/RunState.h"

namespace gaisan {

struct CriteriaTable;
struct ProgramProfile;

/// Net correct answers a run needs.
inline constexpr int kProblemsPerRun = 10;

/// Sets up the run of `level` that is about to start, in the one place a run is reset: every
/// flag of the last run cleared (finished, ending, time-up, judging, a wrong answer on show, the
/// last judgement), no net correct answers and no kept answers yet, and kProblemsPerRun to reach;
/// for a level the profile defines, the time limit is 5 × the level's minimum-line time. An
/// undefined level keeps the last limit: the level menu offers only defined levels.
void beginRun(RunState& run, const ProgramProfile& profile, const CriteriaTable& criteria,
              int level);

/// The count-down boxes 10..39 of the drill window: Best 10..19, YourBest 20..29, Pass 30..39.
inline constexpr int kFirstCountdownBox = 10;
inline constexpr int kLastCountdownBox = 39;
using CountdownBoxes = std::array<bool, kLastCountdownBox + 1>;  ///< true: hidden

/// What the count-down counts towards. Nothing fills the Best and YourBest thresholds in this
/// program, so those bands stay full.
struct CountdownThresholds {
    int best = 0;
    int yourBest = 0;
    int target = 0;   ///< the level's target time
    int minLine = 0;  ///< the level's minimum-line time
};

/// Whole seconds between two monotonic ticks, rounded to the nearest (halves to even).
std::int32_t elapsedSecondsBetween(std::int64_t startTick, std::int64_t nowTick);

/// Hides the boxes due at `elapsed` seconds; boxes are only ever hidden during a run. Each band
/// empties over the last ten seconds before its threshold, one box a second from its lowest;
/// over the last ten seconds before the minimum line the Pass band is emptied again from
/// box 30, so it warns twice.
void hideCountdownBoxes(CountdownBoxes& hidden, std::int32_t elapsed,
                        const CountdownThresholds& thresholds);

/// A tick at or past the time limit ends the run as a time-up unless the run is already ending,
/// finished, or an answer is being judged (then the next tick tries again).
bool timeUpDue(const RunState& run);

}  // namespace gaisan

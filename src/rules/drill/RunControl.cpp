#include "rules/drill/RunControl.h"

#include <cmath>

#include "base/CriteriaTable.h"
#include "base/ProgramProfile.h"

namespace gaisan {
namespace {

constexpr int kBandSize = 10;

void countDownBand(CountdownBoxes& hidden, int firstBox, int threshold, std::int32_t elapsed) {
    const std::int32_t remaining = threshold - elapsed;
    if (remaining < 0) return;
    for (int i = 0; i < kBandSize - remaining; ++i) hidden[firstBox + i] = true;
}

}  // namespace

void beginRun(RunState& run, const ProgramProfile& profile, const CriteriaTable& criteria,
              int level) {
    run.RunFinished = 0;
    run.EndOfRunStarted = 0;
    run.TimeUp = 0;
    run.Judging = 0;
    run.WrongAckState = 0;
    run.JudgeResult = 0;
    run.CorrectCount = 0;
    run.Answers.clear();
    run.ProblemsPerRun = kProblemsPerRun;
    if (profile.LevelDefined.at(level) != 0) run.TimeLimit = 5 * criteria.MinLineTime.at(level);
}

std::int32_t elapsedSecondsBetween(std::int64_t startTick, std::int64_t nowTick) {
    return static_cast<std::int32_t>(std::nearbyint((nowTick - startTick) / 1000.0));
}

void hideCountdownBoxes(CountdownBoxes& hidden, std::int32_t elapsed,
                        const CountdownThresholds& thresholds) {
    countDownBand(hidden, 10, thresholds.best, elapsed);
    countDownBand(hidden, 20, thresholds.yourBest, elapsed);
    countDownBand(hidden, 30, thresholds.target, elapsed);
    const std::int32_t beforeMinLine = thresholds.minLine - elapsed;
    if (beforeMinLine >= 0 && beforeMinLine <= 9) hidden[kLastCountdownBox - beforeMinLine] = true;
}

bool timeUpDue(const RunState& run) {
    return run.ElapsedSeconds >= run.TimeLimit && run.EndOfRunStarted == 0 &&
           run.RunFinished == 0 && run.Judging == 0;
}

}  // namespace gaisan

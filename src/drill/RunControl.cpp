#include "drill/RunControl.h"

#include <cmath>

namespace gaisan {
namespace {

constexpr int kBandSize = 10;

void countDownBand(CountdownBoxes& hidden, int firstBox, int threshold, std::int32_t elapsed) {
    const std::int32_t remaining = threshold - elapsed;
    if (remaining < 0) return;
    for (int i = 0; i < kBandSize - remaining; ++i) hidden[firstBox + i] = true;
}

}  // namespace

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

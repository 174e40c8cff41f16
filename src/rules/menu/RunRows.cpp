#include "rules/menu/RunRows.h"

#include <algorithm>
#include <cmath>

#include "base/DateTexts.h"
#include "platform/Calendar.h"
#include "rules/counts/Counts.h"
#include "rules/menu/RowTexts.h"

namespace gaisan {
namespace {

constexpr int kSecondsPerDay = 86400;
/// In place of the time of a failed run: as wide as "  55秒" and the space after it.
constexpr const char* kFailedMark = "　　× ";
/// In place of the points of a failed run: as wide as " 55" and the space after it.
constexpr const char* kFailedPointsMark = " × ";

bool isFailed(const LoadedRecord& run) { return run.seconds >= kFailedRunRowTime; }

int secondsOfDay(double clock) {
    const double fraction = clock - std::floor(clock);
    return std::min(kSecondsPerDay - 1, static_cast<int>(std::lround(fraction * kSecondsPerDay)));
}

std::string points(const LoadedRecord& run, std::int32_t target) {
    return std::to_string(runPointsBase(run.seconds, target));
}

}  // namespace

std::string runClockText(double clock) { return timeOfDayText(secondsOfDay(clock)); }

std::string hourMinute(double clock) {
    return lastOfPadded("00", runClockText(clock), 8).substr(0, 5);
}

std::string fullDate(double date) { return slashDateText(dateOfSerial(static_cast<int>(date))); }

std::string monthDay(double date) { return lastOfPadded("", fullDate(date), 5); }

std::string time5(std::int32_t seconds) {
    return rightAlignedWhole(std::to_string(seconds) + "秒", 5);
}

std::string todayRunRow(const LoadedRecord& run, std::string_view who, std::int32_t target) {
    if (isFailed(run)) return kFailedMark + hourMinute(run.clock) + std::string(who);
    return time5(run.seconds) + " " + hourMinute(run.clock) + std::string(who) +
           points(run, target);
}

std::string periodRunRow(RankingView view, const LoadedRecord& run, std::string_view who,
                         std::int32_t target) {
    if (isFailed(run)) {
        const char* mark = view == RankingView::Time ? kFailedMark : kFailedPointsMark;
        return mark + monthDay(run.date) + std::string(who);
    }
    if (view == RankingView::Time) {
        return time5(run.seconds) + " " + monthDay(run.date) + std::string(who) +
               points(run, target);
    }
    return rightAlignedWhole(points(run, target), 3) + " " + monthDay(run.date) + std::string(who) +
           std::to_string(run.seconds) + "秒";
}

std::string personalRunRow(const LoadedRecord& run) {
    const std::string when = fullDate(run.date) + " " + runClockText(run.clock);
    // A failed run has no time to show: "×" stands where the time would, as in the other lists.
    return when + (isFailed(run) ? "　　×" : time5(run.seconds));
}

}  // namespace gaisan

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/LoadedRecords.h"
#include "rules/menu/Ranking.h"

namespace gaisan {

/// A run of this many seconds or more failed: its list rows show "×" and no time or points.
inline constexpr std::int32_t kFailedRunRowTime = 90000;

/// The run's clock (a fraction of a day) as "h:mm:ss", the hour without a leading zero:
/// "9:05:03", "13:05:03". Only the fraction counts; the time is rounded to the second.
std::string runClockText(double clock);
/// The clock's hour and minute, zero-padded: "09:05".
std::string hourMinute(double clock);
/// A day serial as "yyyy/mm/dd"; for dates of the years 1900 to 9999.
std::string fullDate(double date);
/// A day serial's month and day: "12/10".
std::string monthDay(double date);
/// Seconds right-aligned before "秒" in five characters: "  55秒", "1234秒"; a longer time is
/// written whole, "12345秒".
std::string time5(std::int32_t seconds);

/// The rows of the run lists. `who` is the student's part of a row: the mark, the name cut to
/// five characters (name5) and the mark again. The points shown are the run's own base points
/// against the level's target time T (runPointsBase: 5 for a run of exactly T, 1 for 2T), before
/// the level's point rate.
///
/// Today's runs: time5, " ", hh:mm, who, points; a failed run "　　× ", hh:mm, who.
std::string todayRunRow(const LoadedRecord& run, std::string_view who, std::int32_t target);
/// The runs of a period. Time view: time5, " ", mm/dd, who, points, a failed run "　　× ",
/// mm/dd, who; points view: the points right-aligned in three, " ", mm/dd, who, seconds + "秒",
/// a failed run " × ", mm/dd, who. The base points have at most two digits; three columns
/// leave a level column room for a five-digit time at the row's end.
std::string periodRunRow(RankingView view, const LoadedRecord& run, std::string_view who,
                         std::int32_t target);
/// The logged-in student's own runs: yyyy/mm/dd, " ", h:mm:ss, time5; a failed run shows "　　×"
/// in place of its time.
std::string personalRunRow(const LoadedRecord& run);

}  // namespace gaisan

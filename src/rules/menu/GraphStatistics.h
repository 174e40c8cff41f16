#pragma once

#include <string>
#include <string_view>

#include "rules/menu/ProgressGraph.h"
#include "rules/menu/Ranking.h"

namespace gaisan {

struct AppState;

/// The statistics beside `student`'s graph of `level`, from the level's two rankings as the
/// menu ranks them for grade band `band` (rankLevel):
///   - the time rank, from the ranking by best time: "---" when the student has no record;
///   - the points rank and the student's total points, from the ranking by total points;
///   - the school's points: the sum of the total points of the ranking's students that have
///     any, and how many they are.
/// The points are always the totals, whichever points the menu's lists show: the sheet says
/// "獲得ポイント" with nothing to tell today's from the total, and a printed sheet handed to
/// parents must not change with the list looked at last.
/// A student the band hides has empty rank texts and 0 points. Ranks are whole numbers
/// right-aligned in three characters (graphRankText); points are the counts' own numbers,
/// however large.
LevelStatistics graphStatistics(const AppState& state, int student, int level,
                                std::string_view band);

/// A rank as the statistics write it: right-aligned in three characters, a longer one whole;
/// "---" for 0, a student without a record.
std::string graphRankText(int rank);

}  // namespace gaisan

#pragma once

#include <string>
#include <string_view>

#include "menu/ProgressGraph.h"
#include "menu/Ranking.h"

namespace gaisan {

struct AppState;

/// The statistics beside `student`'s graph of `level`, from the level's two rankings as the
/// menu ranks them for grade band `band` (rankLevel):
///   - the time rank, from the ranking by best time: "---" when the student has no record;
///   - the points rank and the student's total points, from the ranking by `basis`;
///   - the school's points: the sum of the total points of the ranking's students that have
///     any, and how many they are.
/// A student the band hides, or whom the ranking by today's points leaves out (no points
/// today), has empty rank texts and 0 points. Ranks are whole numbers right-aligned in three
/// characters (graphRankText); points are the counts' own numbers, however large.
LevelStatistics graphStatistics(const AppState& state, int student, int level,
                                std::string_view band, PointsBasis basis);

/// A rank as the statistics write it: right-aligned in three characters, a longer one whole;
/// "---" for 0, a student without a record.
std::string graphRankText(int rank);

}  // namespace gaisan

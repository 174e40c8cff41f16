#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gaisan {

struct AppState;

/// Sorts positions 1..n of `keys` ascending, moving `students` along; position 0 and anything
/// beyond n are left alone. Equal keys keep their input order, so ties stay in roster order.
/// Throws std::invalid_argument when either vector has no position n.
void SortRanking(int n, std::vector<std::int32_t>& keys, std::vector<int>& students);
/// The same for 64-bit keys (the points rankings order by two 32-bit values at once).
void SortRanking(int n, std::vector<std::int64_t>& keys, std::vector<int>& students);

enum class RankingView {
    Time,    ///< by best time, fastest first
    Points,  ///< by points, most first
};

/// Which points the points view ranks by; the other points only break ties in the order.
enum class PointsBasis {
    Total,  ///< all points of the loaded runs
    Today,  ///< today's points; students without any are left out of the list
};

/// The ranking list of one level: its rows in list order, and the row to scroll to the top so
/// that the current student's row shows just below it (none when the student's row is the first
/// or not in the list, and none for the teacher, whose lists open at the top).
struct LevelRanking {
    std::vector<std::string> rows;
    std::vector<int> students;  ///< the student of each row
    std::vector<int> ranks;     ///< the rank of each row; 0 for a student without a record
    std::optional<int> scrollRow;
};

/// Ranks every listed student of the roster (RosterList 1..RosterListCount) on `level`.
///
/// Order: the time view by best time ascending (failures 99998 and students without a record
/// 99999 last); the points view by the basis' points descending, then by the other points
/// descending. Ties keep roster order. A student's rank is its position, or the rank of the row
/// above when the compared value (best time, or the basis' points alone) is equal: 1, 2, 2, 4.
/// Ranks count every listed student; `band` (a name of roster/Roster.h's InGradeBand) only hides
/// rows, so a shown row keeps its rank among all students. There is no limit on the number of
/// students ranked: the roster can list up to 5000, and every one of them is ranked.
///
/// Rows are fixed-layout text: the rank's last two digits, deliberately, so that the columns
/// after it stay in place ("--" without a record; `ranks` keeps every rank whole), "●" for the
/// current student or else the grade mark, the name cut or padded with full-width spaces to
/// five characters, then
///   time view:   the time right-aligned in 6 ("*失敗*" for 99998; "--" in place of the rank
///                and "------" for 99999), " ", and "●" or "　";
///   points view: today's points right-aligned in 3, "/", total points right-aligned in 5
///                (longer numbers keep their last digits).
/// Throws std::out_of_range for a level outside the tables.
LevelRanking rankLevel(const AppState& state, int level, RankingView view, PointsBasis basis,
                       std::string_view band);

}  // namespace gaisan

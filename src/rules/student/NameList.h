#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/CountTables.h"
#include "base/RosterTables.h"

namespace gaisan {

/// The first row of the name list, which stands for "no name chosen".
inline constexpr std::string_view kNoNameRow = "－－－－－－";

/// Which two figures a name-list row shows after the name.
enum class FigureMode {
    TodayAndTotalRuns = 0,    ///< "回数(今日／今まで）"
    TodayAndTotalPoints = 1,  ///< "ポイント（今日／今まで）"
    TodayPointsAndRuns = 2,   ///< "本日（ポイント／回数）"
    TotalPointsAndRuns = 3,   ///< "今まで（ポイント／回数）"
};

/// A student's figures over all levels as fixed-width texts (in display columns, a full-width
/// character counting two: 5, 4, 7 and 7), so that the rows of the list line up.
struct FigureTexts {
    std::string todayRuns;    ///< "  3回"; five half-width spaces for none
    std::string todayPoints;  ///< "  15"; two half-width spaces and a full-width one for none
    std::string totalRuns;    ///< "   12回"; five half-width and one full-width space for none
    std::string totalPoints;  ///< "    230"; seven half-width spaces for none
};

FigureTexts figureTextsOf(int student, const CountTables& counts);

/// The staging row of a listed roster entry: its year, grade prefix, " ", trimmed name, a fill
/// of full-width spaces to the name column's width, the two figures of `mode` joined by "/",
/// "*" and the student index. Sorting these rows as text puts the youngest students last.
/// A "*" or "/" in a name, which would break the row's separators and so log in the wrong
/// student, is shown in full width instead.
std::string stagingRowOf(const RosterEntry& entry, int gradeNumber, FigureMode mode,
                         const CountTables& counts);

/// The rows of the name list and, in step with them, the index rows that carry each row's
/// student.
struct NameList {
    std::vector<std::string> rows;       ///< kNoNameRow first, then one row per shown student
    std::vector<std::string> indexRows;  ///< for rows[1..]: the row + "*" + the student index
    std::vector<int> students;           ///< for rows[1..]: the row's student
};

/// The name list from the staging rows: sorted as text and shown from the last to the first
/// (youngest first), only the students whose grade belongs to `band`.
NameList nameListOf(std::vector<std::string> stagingRows, int schoolYear, std::string_view band);

/// The student an index row stands for.
int studentOfIndexRow(std::string_view indexRow);

/// What the name prompt shows for a chosen row: its first 10 characters, trimmed.
std::string chosenRowText(std::string_view row);

/// The row's text before its first "/", trimmed: the grade and name with their fill.
std::string rowTextBeforeFigures(std::string_view row);

}  // namespace gaisan

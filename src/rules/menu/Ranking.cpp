#include "rules/menu/Ranking.h"

#include <limits>
#include <stdexcept>

#include "base/AppState.h"
#include "platform/Utf8.h"
#include "rules/menu/RowTexts.h"
#include "stores/roster/Roster.h"

namespace gaisan {
namespace {

constexpr const char* kCurrentMark = "●";
constexpr const char* kFullWidthSpace = "　";

/// One merge sort of positions first..last. The left half goes to `buffer` and is merged back,
/// its element taken only when strictly smaller than the right one; so equal keys come out in
/// the reverse of their order before the pass.
template <typename Key>
void mergeSortRange(int first, int last, std::vector<Key>& keys, std::vector<int>& students,
                    std::vector<Key>& bufferKeys, std::vector<int>& bufferStudents) {
    if (first >= last) return;
    const int middle = (first + last) / 2;
    mergeSortRange(first, middle, keys, students, bufferKeys, bufferStudents);
    mergeSortRange(middle + 1, last, keys, students, bufferKeys, bufferStudents);

    const int leftCount = middle - first + 1;
    for (int i = 0; i < leftCount; ++i) {
        bufferKeys[i] = keys[first + i];
        bufferStudents[i] = students[first + i];
    }
    int left = 0;
    int right = middle + 1;
    int to = first;
    while (left < leftCount && right <= last) {
        if (bufferKeys[left] < keys[right]) {
            keys[to] = bufferKeys[left];
            students[to++] = bufferStudents[left++];
        } else {
            keys[to] = keys[right];
            students[to++] = students[right++];
        }
    }
    // What is left of the right half is already in place.
    while (left < leftCount) {
        keys[to] = bufferKeys[left];
        students[to++] = bufferStudents[left++];
    }
}

template <typename Key>
void sortPositions(int n, std::vector<Key>& keys, std::vector<int>& students) {
    if (n <= 1) return;
    if (keys.size() <= static_cast<std::size_t>(n) ||
        students.size() <= static_cast<std::size_t>(n)) {
        throw std::invalid_argument("SortRanking: " + std::to_string(n) +
                                    " positions do not fit the key and student arrays");
    }
    const std::size_t bufferSize = static_cast<std::size_t>(n / 2 + 2);
    std::vector<Key> bufferKeys(bufferSize);
    std::vector<int> bufferStudents(bufferSize);
    // Each pass reverses equal keys; the second puts them back in input order.
    for (int pass = 0; pass < 2; ++pass) {
        mergeSortRange(1, n, keys, students, bufferKeys, bufferStudents);
    }
}

/// The key of the points view: ascending keys are P descending, then Q descending, for any two
/// 32-bit values. (A single 1000 × P + Q would let Q outweigh P once Q reaches 1000, which the
/// total points used as Q in today's ranking soon do, and would overflow 32 bits for a large P.)
std::int64_t pointsKey(std::int32_t p, std::int32_t q) {
    const std::int64_t high = ~static_cast<std::int64_t>(p);  // −P − 1: more points, lower key
    const std::int64_t low =
        std::int64_t{std::numeric_limits<std::int32_t>::max()} - q;  // 0..2³²−1
    return high * (std::int64_t{1} << 32) + low;
}

/// A number right-aligned in `width` characters; a longer number keeps its last digits.
std::string rightAligned(std::int64_t value, std::size_t width) {
    return lastOfPadded("    ", std::to_string(value), width);
}

}  // namespace

void SortRanking(int n, std::vector<std::int32_t>& keys, std::vector<int>& students) {
    sortPositions(n, keys, students);
}

void SortRanking(int n, std::vector<std::int64_t>& keys, std::vector<int>& students) {
    sortPositions(n, keys, students);
}

LevelRanking rankLevel(const AppState& state, int level, RankingView view, PointsBasis basis,
                       std::string_view band) {
    const RosterTables& roster = state.roster;
    const CountTables& counts = state.counts;
    const int current = state.login.StudentIndex;
    const bool teacherLooks = isTeacherName(state.login.StudentName);
    const bool today = basis == PointsBasis::Today;
    const auto& ranked = today ? counts.TodayPoints : counts.TotalPoints;    // P
    const auto& tieBreak = today ? counts.TotalPoints : counts.TodayPoints;  // Q

    // Positions 1..n in roster order; the arrays grow with the roster, so every listed student
    // is ranked however many there are.
    const int n = roster.RosterListCount;
    std::vector<int> students(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 1; i <= n; ++i) students[i] = roster.RosterList.at(i);
    if (view == RankingView::Time) {
        std::vector<std::int32_t> keys(students.size(), 0);
        for (int i = 1; i <= n; ++i) keys[i] = counts.BestTime.at(level, students[i]);
        SortRanking(n, keys, students);
    } else {
        std::vector<std::int64_t> keys(students.size(), 0);
        for (int i = 1; i <= n; ++i) {
            keys[i] = pointsKey(ranked.at(level, students[i]), tieBreak.at(level, students[i]));
        }
        SortRanking(n, keys, students);
    }

    LevelRanking ranking;
    int rank = 0;
    std::int32_t previousValue = 0;
    for (int i = 1; i <= n; ++i) {
        const int s = students[i];
        const std::int32_t bestTime = counts.BestTime.at(level, s);
        const std::int32_t value = view == RankingView::Time ? bestTime : ranked.at(level, s);
        if (i == 1 || value != previousValue) rank = i;
        previousValue = value;

        if (!studentInBand(state, s, band)) continue;
        if (view == RankingView::Points && today && counts.TodayPoints.at(level, s) == 0) continue;

        const bool isCurrent = s == current;
        const std::string mark = studentMark(state, s);
        const std::string rankColumn(lastCharacters(std::to_string(rank), 2));
        const std::string name = name5(roster.RosterNames.at(s));
        std::string row;
        if (view == RankingView::Time) {
            const std::string tail = isCurrent ? kCurrentMark : kFullWidthSpace;
            if (bestTime == kNoTime) {
                row = "--" + mark + name + "------" + " " + tail;
            } else if (bestTime == kFailedRunTime) {
                row = rankColumn + mark + name + "*失敗*" + " " + tail;
            } else {
                row = rankColumn + mark + name + rightAligned(bestTime, 6) + " " + tail;
            }
        } else {
            row = rankColumn + mark + name + rightAligned(counts.TodayPoints.at(level, s), 3) +
                  "/" + rightAligned(counts.TotalPoints.at(level, s), 5);
        }
        // The list is scrolled to the current student's row by the row's student, not by
        // looking for "●" in the text, which a name could contain too. The teacher looks at the
        // class, not at a row of their own, which sits at the bottom: their lists open at the top.
        if (isCurrent && !teacherLooks) {
            const int r = static_cast<int>(ranking.rows.size());
            ranking.scrollRow = r > 0 ? std::optional<int>(r - 1) : std::nullopt;
        }
        ranking.rows.push_back(std::move(row));
        ranking.students.push_back(s);
        ranking.ranks.push_back(view == RankingView::Time && bestTime == kNoTime ? 0 : rank);
    }
    return ranking;
}

}  // namespace gaisan

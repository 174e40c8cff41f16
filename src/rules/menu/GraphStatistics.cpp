#include "rules/menu/GraphStatistics.h"

#include "base/AppState.h"

namespace gaisan {

std::string graphRankText(int rank) {
    if (rank == 0) return "---";
    std::string text = std::to_string(rank);
    if (text.size() < 3) text.insert(0, 3 - text.size(), ' ');
    return text;
}

LevelStatistics graphStatistics(const AppState& state, int student, int level,
                                std::string_view band) {
    LevelStatistics statistics;
    const LevelRanking times = rankLevel(state, level, RankingView::Time, PointsBasis::Total, band);
    for (std::size_t row = 0; row < times.students.size(); ++row) {
        if (times.students[row] == student) statistics.timeRank = graphRankText(times.ranks[row]);
    }
    const LevelRanking points =
        rankLevel(state, level, RankingView::Points, PointsBasis::Total, band);
    for (std::size_t row = 0; row < points.students.size(); ++row) {
        const int s = points.students[row];
        const double total = state.counts.TotalPoints.at(level, s);
        if (total > 0) {
            ++statistics.pointsHolders;
            statistics.pointsSumAll += total;
        }
        if (s == student) {
            statistics.pointsRank = graphRankText(points.ranks[row]);
            statistics.points = total;
        }
    }
    return statistics;
}

}  // namespace gaisan

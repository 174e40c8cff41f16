#pragma once

#include <array>
#include <string_view>

#include "rules/menu/Ranking.h"

namespace gaisan {

struct ProgramProfile;

/// Every list the level menu's results views show.
enum class ResultsList {
    BestTimes,     ///< the best-time ranking of each level
    TodayRuns,     ///< today's runs
    PeriodRuns,    ///< every run of the chosen period
    TotalPoints,   ///< the ranking by all points
    TodayPoints,   ///< the ranking by today's points
    PersonalRuns,  ///< the logged-in student's own runs
};

/// The captions of the list options 1..3 in a view: "BEST表示","本日のみ","オール表示" in the
/// time view, "合計累計","合計本日","すべて" in the points view.
const std::array<std::string_view, 3>& listOptionCaptions(RankingView view);

/// The list that list option `option` (1..3) shows in `view`. Throws std::out_of_range for
/// any other option.
ResultsList listOfOption(RankingView view, int option);

/// The list's title above the columns; a period's runs have none.
std::string_view listTitle(ResultsList list);

/// Whether the list of `level` is filled at all: the best times leave practice levels empty.
/// (Practice levels' lists are never shown either way.)
bool fillsLevel(ResultsList list, const ProgramProfile& profile, int level);

}  // namespace gaisan

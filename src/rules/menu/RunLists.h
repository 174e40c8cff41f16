#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Calendar.h"
#include "platform/RecordFile.h"
#include "rules/menu/NewestRecords.h"
#include "rules/menu/Ranking.h"
#include "stores/results/ResultsFile.h"

namespace gaisan {

struct AppState;

/// The lists the level menu builds record by record from the results file.
enum class RunList {
    Today,     ///< today's runs of every student, from the newest 1000 records
    Period,    ///< every run of a period, from the newest 20000 records
    Personal,  ///< the logged-in student's own runs of the last 3650 days
};

/// The days the personal list reaches back.
inline constexpr int kPersonalDays = 3650;

struct RunListQuery {
    RunList list = RunList::Today;
    RankingView view = RankingView::Time;  ///< the row layout of the period list
    int periodDays = 0;                    ///< the period list's PeriodDays
    std::string band = "全学年";           ///< only students of this grade band are listed
    CivilDate today;
};

/// The rows of every level's list, in file order (oldest first); index 0 is never a level.
using RunListRows = std::vector<std::vector<std::string>>;

/// Builds a run list for levels 1..LevelCount from the results file at `path`, read as
/// readNewestRecords reads it: today's runs from the newest 1000 records, the others from the
/// newest 20000.
///
/// A run is listed in the list of its level when it belongs to the query's list and its
/// student to the band: today's runs are dated today, a period's after today − periodDays, the
/// personal runs are the logged-in student's of the last 3650 days. Records no list can show
/// are passed over: levels outside 1..LevelCount, student 0, a student or level the tables
/// cannot hold, and dates or clocks that are no time of the years 1900 to 9999.
///
/// Record numbers are 64-bit, so a file of any length works. An error other than a busy file
/// ends the build with a failure whose problem is the message the program ends with: "Command5"
/// (today's runs), "Command7" (a period) or "Command16" (personal), then the error's description
/// and number.
Expected<void> readRunList(const AppState& state, RecordFile& file,
                           const std::filesystem::path& path, const RunListQuery& query,
                           const RecordReadEvents& events, RunListRows& rows);

}  // namespace gaisan

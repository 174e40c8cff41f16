#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "menu/Ranking.h"
#include "platform/Calendar.h"
#include "platform/RecordFile.h"
#include "records/ResultsFile.h"

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

/// What a run-list build asks of its caller while it reads.
struct RunListEvents {
    /// The file is held by another machine (error 70) or open elsewhere (55): called before the
    /// step that met it is tried again, without limit. The program waits a second and tells
    /// the user to call the teacher.
    std::function<void(const FileError&)> busy;
    /// The record about to be read, of `records` whole records when the read began; called
    /// once per block of records.
    std::function<void(std::uint64_t record, std::uint64_t records)> progress;
};

/// Builds a run list for levels 1..LevelCount from the results file at `path`, opened as every
/// reader opens it (created empty when absent), read from its start record to the end it had
/// when the read began.
///
/// A run is listed in the list of its level when it belongs to the query's list and its
/// student to the band: today's runs are dated today, a period's after today − periodDays, the
/// personal runs are the logged-in student's of the last 3650 days. Records no list can show
/// are passed over: levels outside 1..LevelCount, student 0, a student or level the tables
/// cannot hold, and dates or clocks that are no time of the years 1900 to 9999.
///
/// Record numbers are 64-bit, so a file of any length works. An error other than a busy file
/// ends the build with the message the program ends with: "Command5" (today's runs),
/// "Command7" (a period) or "Command16" (personal), then the error's description and number.
std::optional<ResultsFileFailure> readRunList(const AppState& state, RecordFile& file,
                                              const std::filesystem::path& path,
                                              const RunListQuery& query,
                                              const RunListEvents& events, RunListRows& rows);

}  // namespace gaisan

#include "tools/Commands.h"

#include <iostream>
#include <memory>

#include "base/IndexedTables.h"
#include "base/Periods.h"
#include "platform/PosixRecordFile.h"
#include "rules/counts/Counts.h"
#include "rules/menu/Ranking.h"
#include "rules/menu/ResultsViews.h"
#include "rules/menu/RunLists.h"
#include "stores/results/ResultsFile.h"
#include "stores/roster/Roster.h"
#include "tools/CommandSupport.h"

namespace gaisan {

namespace {

/// The program's state as the level menu has it for `student`: the data folder's state and the
/// counts of its results.
std::unique_ptr<AppState> menuStateOf(const std::filesystem::path& folder, int student,
                                      const LocalDateTime& now) {
    std::unique_ptr<AppState> state = loadDataFolderState(folder, now.date);
    state->login.StudentIndex = student;
    // A folder without results has nothing to list; it is not given an empty file.
    const std::filesystem::path resultsFile = state->locations.resultsFile();
    if (std::filesystem::exists(resultsFile)) {
        PosixRecordFile recordFile;
        const FixedClock clock(now);
        ResultsFile results(recordFile, resultsFile, clock, sleepingWait());
        if (const Expected<void> counted = ComputeCounts(*state, results, now); !counted) {
            throw Unusable(counted.error().text());
        }
    }
    return state;
}

}  // namespace

/// The rows of every level's list of the level menu, built by the menu's own code.
int listCommand(const CommandLine& line) {
    const std::filesystem::path folder = onlyOperand(line, "DATA_FOLDER");
    if (!line.option("list")) throw UsageError("--list is needed");
    const ResultsList results =
        choiceOption<ResultsList>(line, "list",
                                  {{"best", ResultsList::BestTimes},
                                   {"points-total", ResultsList::TotalPoints},
                                   {"points-today", ResultsList::TodayPoints},
                                   {"today", ResultsList::TodayRuns},
                                   {"period", ResultsList::PeriodRuns},
                                   {"personal", ResultsList::PersonalRuns}},
                                  ResultsList::BestTimes);
    const Period period = choiceOption<Period>(line, "period",
                                               {{"week", Period::ThisWeek},
                                                {"since-last-week", Period::SinceLastWeek},
                                                {"month", Period::Month},
                                                {"year", Period::Year},
                                                {"all", Period::All}},
                                               Period::Month);
    const RankingView view = choiceOption<RankingView>(
        line, "view", {{"time", RankingView::Time}, {"points", RankingView::Points}},
        RankingView::Time);
    std::vector<std::pair<std::string, std::string>> bands;
    for (const std::string& band : gradeBands()) bands.emplace_back(band, band);
    const std::string band = choiceOption<std::string>(line, "band", bands, "全学年");
    const int student =
        static_cast<int>(line.wholeOption("student", 1, kHighestStudent).value_or(0));
    const LocalDateTime now = nowOrOption(line, "now");

    const std::unique_ptr<AppState> state = menuStateOf(folder, student, now);
    const int levels = state->profile.LevelCount;
    RunListRows rows(static_cast<std::size_t>(levels) + 1);
    if (results == ResultsList::BestTimes || results == ResultsList::TotalPoints ||
        results == ResultsList::TodayPoints) {
        const RankingView rankingView =
            results == ResultsList::BestTimes ? RankingView::Time : RankingView::Points;
        const PointsBasis basis =
            results == ResultsList::TodayPoints ? PointsBasis::Today : PointsBasis::Total;
        for (int level = 1; level <= levels; ++level) {
            if (fillsLevel(results, state->profile, level)) {
                rows[level] = rankLevel(*state, level, rankingView, basis, band).rows;
            }
        }
    } else if (std::filesystem::exists(state->locations.resultsFile())) {
        const RunList runList = results == ResultsList::TodayRuns    ? RunList::Today
                                : results == ResultsList::PeriodRuns ? RunList::Period
                                                                     : RunList::Personal;
        const RunListQuery query{runList, view, PeriodDays(period, now.date), band, now.date};
        PosixRecordFile recordFile;
        const RecordReadEvents events{
            [wait = sleepingWait()](const FileError&) mutable { wait(1); }, {}};
        const std::filesystem::path resultsFile = state->locations.resultsFile();
        if (const Expected<void> read =
                readRunList(*state, recordFile, resultsFile, query, events, rows);
            !read) {
            throw Unusable(read.error().text());
        }
    }
    for (int level = 1; level <= levels; ++level) {
        std::cout << "level " << level << '\n';
        for (const std::string& row : rows[level]) std::cout << row << '\n';
    }
    return 0;
}

}  // namespace gaisan

#include "tools/Commands.h"

#include <cmath>
#include <iostream>
#include <memory>

#include "base/DataLocations.h"
#include "base/IndexedTables.h"
#include "base/ProgramProfile.h"
#include "platform/PosixRecordFile.h"
#include "rules/counts/Counts.h"
#include "stores/results/ResultsFile.h"
#include "tools/CommandSupport.h"

namespace gaisan {

int countsCommand(const CommandLine& line) {
    const DataLocations locations =
        DataLocations::ofProgramDataFolder(onlyOperand(line, "DATA_FOLDER"));
    const LocalDateTime now = nowOrOption(line, "now");
    CriteriaTable criteria;
    if (auto loaded = LoadCriteriaTable(locations.criteriaFile(), criteria, kDefinedLevelCount);
        !loaded) {
        throw Unusable(loaded.error().text());
    }
    LoadedRecords records;
    auto tables = std::make_unique<CountTables>();
    // A folder without results has nothing to count; it is not given an empty file.
    const std::filesystem::path resultsFile = locations.resultsFile();
    if (std::filesystem::exists(resultsFile)) {
        PosixRecordFile recordFile;
        const FixedClock clock(now);
        ResultsFile results(recordFile, resultsFile, clock, sleepingWait());
        if (const Expected<void> loaded = results.LoadResultRecords(records, *tables); !loaded) {
            throw Unusable(loaded.error().text());
        }
    }
    countRecords(records, criteria, now, *tables);

    std::cout << "level\tstudent\truns\tpoints\tpass_runs\tpass_points\toveruse_runs\t"
                 "overuse_points\ttoday_runs\ttoday_points\tbest\tcleared\toverused\n";
    const CountTables& t = *tables;
    for (int level = 1; level <= kHighestLevel; ++level) {
        for (int student = 1; student <= kHighestStudent; ++student) {
            const long todayRuns = std::lround(t.TodayRunCounts.at(level, student));
            const bool anything =
                t.RunCount.at(level, student) != 0 || t.TotalPoints.at(level, student) != 0 ||
                t.PassWindowCount.at(level, student) != 0 ||
                t.PassWindowPoints.at(level, student) != 0 ||
                t.OveruseWindowCount.at(level, student) != 0 ||
                t.OveruseWindowPoints.at(level, student) != 0 || todayRuns != 0 ||
                t.TodayPoints.at(level, student) != 0 || t.BestTime.at(level, student) < kNoTime;
            if (!anything) continue;
            std::cout << level << '\t' << student << '\t' << t.RunCount.at(level, student) << '\t'
                      << t.TotalPoints.at(level, student) << '\t'
                      << t.PassWindowCount.at(level, student) << '\t'
                      << t.PassWindowPoints.at(level, student) << '\t'
                      << t.OveruseWindowCount.at(level, student) << '\t'
                      << t.OveruseWindowPoints.at(level, student) << '\t' << todayRuns << '\t'
                      << t.TodayPoints.at(level, student) << '\t' << t.BestTime.at(level, student)
                      << '\t' << LevelCleared(level, student, criteria, t) << '\t'
                      << LevelOverused(level, student, criteria, t) << '\n';
        }
    }
    for (int level = 1; level <= kHighestLevel; ++level) {
        if (t.LevelBestTime.at(level) < kNoTime) {
            std::cout << "level-best\t" << level << '\t' << t.LevelBestTime.at(level) << '\n';
        }
    }
    return 0;
}

}  // namespace gaisan

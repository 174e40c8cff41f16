// gaisan-records: the shared results file for teachers and scripts, on the same code, lock,
// retries and counting rules as the program. Output is UTF-8, tab-separated.

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "admin/CriteriaTable.h"
#include "app/AppState.h"
#include "app/Configuration.h"
#include "app/ProgramProfile.h"
#include "menu/Periods.h"
#include "menu/Ranking.h"
#include "menu/ResultsViews.h"
#include "menu/RunLists.h"
#include "platform/Calendar.h"
#include "platform/Cp932.h"
#include "platform/DataFileError.h"
#include "platform/PosixRecordFile.h"
#include "platform/Utf8.h"
#include "records/Counts.h"
#include "records/RecordsAdministration.h"
#include "records/DailyBackup.h"
#include "records/RecordFieldTexts.h"
#include "records/RecordStream.h"
#include "records/ResultsExport.h"
#include "records/ResultsFile.h"
#include "records/SharedFilesCheck.h"
#include "records/SharingWarning.h"
#include "roster/Roster.h"
#include "tools/CommandLine.h"
#include "tools/DumpLine.h"

namespace gaisan {
namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  gaisan-records dump FILE\n"
    "  gaisan-records append FILE --student N --level N --seconds N [--school CODE]\n"
    "                        [--at \"YYYY-MM-DD HH:MM:SS\"]\n"
    "  gaisan-records counts DATA_FOLDER [--now \"YYYY-MM-DD HH:MM:SS\"]\n"
    "  gaisan-records roster DATA_ROOT [--now \"YYYY-MM-DD HH:MM:SS\"]\n"
    "  gaisan-records check FILE [--now \"YYYY-MM-DD HH:MM:SS\"]\n"
    "  gaisan-records export DATA_FOLDER [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
    "                        [--encoding utf-8|cp932] [--output FILE]\n"
    "  gaisan-records list DATA_FOLDER --list best|points-total|points-today|today|period|personal\n"
    "                      [--period week|since-last-week|month|year|all] [--view time|points]\n"
    "                      [--band 全学年|中学生全体|小学生全体|中３|...|小１] [--student N]\n"
    "                      [--now \"YYYY-MM-DD HH:MM:SS\"]\n"
    "    (--period and --view choose the period list's runs and rows)\n"
    "  gaisan-records delete FILE N [--expect LINE]\n"
    "  gaisan-records set FILE N [--seconds S] [--student N] [--expect LINE]\n"
    "LINE is record N's whole line as dump prints it; without a match nothing changes.\n";

constexpr const char* kResultsFileName = "成績累積データ.dat";
constexpr const char* kCriteriaFileName = "タイム回数データ.txt";

/// A file that cannot be used; reported with exit status 2.
class Unusable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

const std::string& onlyOperand(const CommandLine& line, const char* what) {
    if (line.operands.size() != 1) throw UsageError(std::string("expected one ") + what);
    return line.operands.front();
}

LocalDateTime nowOrOption(const CommandLine& line, const char* name) {
    if (const auto text = line.option(name)) return parseDateTime(*text);
    return SystemClock().now();
}

void reportPartial(const RecordStreamEnd& end) {
    if (end.partialBytes == 0) return;
    std::cerr << "partial record of " << end.partialBytes << " bytes after record "
              << end.wholeRecords << " (at byte " << end.wholeRecords * ResultRecord::kSize << ")\n";
}

/// Waits for a lock held by another machine, saying so once.
RetryWait sleepingWait() {
    return [said = false](int seconds) mutable {
        if (!said) std::cerr << "the results file is busy; waiting...\n";
        said = true;
        sleep(static_cast<unsigned>(seconds));
    };
}

int dump(const CommandLine& line) {
    const RecordStreamEnd end =
        forEachRecord(onlyOperand(line, "FILE"), [&](std::uint64_t number, const ResultRecord& r) {
            std::cout << dumpLine(number, r) << '\n';
        });
    reportPartial(end);
    return 0;
}

int append(const CommandLine& line) {
    const std::string& file = onlyOperand(line, "FILE");
    const auto student = line.wholeOption("student", 1, kHighestStudent);
    const auto level = line.wholeOption("level", 1, kHighestLevel);
    const auto seconds = line.wholeOption("seconds", 0, 2147483647);
    if (!student || !level || !seconds) throw UsageError("--student, --level and --seconds are needed");
    const std::optional<std::string> school = line.option("school");
    if (school) {
        // The code is stored in five bytes of CP932, like the code the school's settings give.
        std::string stored;
        try {
            stored = encodeCp932(*school);
        } catch (const Cp932Error&) {
            throw UsageError("--school holds a character CP932 cannot store");
        }
        if (stored.size() > ResultRecord::kTextFieldSize) {
            throw UsageError("--school takes at most five bytes in CP932, such as five digits");
        }
    }
    const FixedClock at(nowOrOption(line, "at"));
    const SystemClock systemClock;
    const Clock& clock = line.option("at") ? static_cast<const Clock&>(at) : systemClock;
    PosixRecordFile recordFile;
    ResultsFile results(recordFile, file, clock, sleepingWait());
    if (const auto failure = results.AppendResultRecord(
            {static_cast<int>(*student), static_cast<int>(*level),
             static_cast<std::int32_t>(*seconds), school})) {
        throw Unusable(file + ": " + failure->message);
    }
    // The run is recorded; a copy that failed is no failure of the command, but it is said.
    if (const auto& problem = results.backupProblem()) std::cerr << "warning: " << *problem << '\n';
    return 0;
}

int counts(const CommandLine& line) {
    const std::filesystem::path folder = onlyOperand(line, "DATA_FOLDER");
    const LocalDateTime now = nowOrOption(line, "now");
    CriteriaTable criteria;
    LoadCriteriaTable(folder / kCriteriaFileName, criteria, kDefinedLevelCount);
    LoadedRecords records;
    auto tables = std::make_unique<CountTables>();
    // A folder without results has nothing to count; it is not given an empty file.
    if (std::filesystem::exists(folder / kResultsFileName)) {
        PosixRecordFile recordFile;
        const FixedClock clock(now);
        ResultsFile results(recordFile, folder / kResultsFileName, clock, sleepingWait());
        if (const auto failure = results.LoadResultRecords(records, *tables)) {
            throw Unusable((folder / kResultsFileName).string() + ": " + failure->message);
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

int roster(const CommandLine& line) {
    const std::filesystem::path root = onlyOperand(line, "DATA_ROOT");
    const LocalDateTime now = nowOrOption(line, "now");
    const CommonConfiguration common = readCommonConfiguration(root / "共通データ.txt");
    auto tables = std::make_unique<RosterTables>();
    int position = 0;
    const auto skipped = LoadRoster(
        *tables, root / "新名簿.txt", now.date, common.YearChangeMonth, common.RosterOption,
        [&](const RosterEntry& entry, int grade) {
            std::cout << ++position << '\t' << entry.StudentIndex << '\t' << trimSpaces(entry.Name)
                      << '\t' << entry.RosterYear << '\t' << grade << '\t'
                      << gradeLabelOf(grade).value_or("") << '\t' << GradePrefix(grade) << '\n';
        });
    for (const std::string& sentence : skipped) {
        std::cerr << (root / "新名簿.txt").string() << ": " << sentence << '\n';
    }
    return 0;
}

/// Tells what finishing an interrupted delete found and did, if anything.
void reportInterruptedDelete(const InterruptedDelete& interrupted, std::ostream& out) {
    if (interrupted.finding != InterruptedDelete::Finding::None) out << interrupted.sentence() << '\n';
}

int check(const CommandLine& line) {
    const std::filesystem::path file = onlyOperand(line, "FILE");
    // Only a delete cut short makes the check a writer: it is finished, like any writer would.
    if (std::filesystem::exists(deleteJournalPathOf(file))) {
        PosixRecordFile recordFile;
        RecordsAdministration administration(recordFile, file, sleepingWait());
        const auto result = administration.finishInterruptedDelete();
        reportInterruptedDelete(result.interrupted, std::cout);
        if (result.error) throw Unusable(file.string() + ": " + result.error->description);
    }
    const CivilDate today = nowOrOption(line, "now").date;
    int problems = 0;
    const RecordStreamEnd end =
        forEachRecord(file, [&](std::uint64_t number, const ResultRecord& r) {
            const auto problem = ResultsFile::problemOf(r, daySerial(today));
            if (!problem) return;
            std::cout << "record " << number << ": student " << r.StudentIndex << ", level "
                      << r.LevelIndex << ", date " << dateText(r.RecordDate) << ", clock "
                      << clockText(r.RecordClock) << ": " << *problem << '\n';
            ++problems;
        });
    if (end.partialBytes != 0) {
        std::cout << "partial record of " << end.partialBytes << " bytes after record "
                  << end.wholeRecords << '\n';
        ++problems;
    }
    if (problems == 0) std::cout << "ok: " << end.wholeRecords << " records\n";
    for (const std::filesystem::path& backup : backupsOf(file)) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(backup, error);
        std::cout << "backup\t" << backup.string() << '\t'
                  << (error ? 0 : size / ResultRecord::kSize) << " records\n";
    }
    PosixRecordFile recordFile;
    for (const std::string& problem : sharedFileProblemsOf(recordFile, file, today)) {
        std::cout << "problem: " << problem << '\n';
        ++problems;
    }
    if (const auto warning = sharingWarningForFolder(file.parent_path())) {
        std::cout << "warning: " << *warning << '\n';
    }
    return problems == 0 ? 0 : 1;
}

/// The day of "--from" or "--to", as a day serial.
std::optional<int> dayOption(const CommandLine& line, const char* name) {
    const auto text = line.option(name);
    if (!text) return std::nullopt;
    return daySerial(parseDateTime(*text + " 00:00:00").date);
}

int exportRuns(const CommandLine& line) {
    const std::filesystem::path folder = onlyOperand(line, "DATA_FOLDER");
    const std::filesystem::path root = folder.parent_path();
    const ExportPeriod period{dayOption(line, "from"), dayOption(line, "to")};
    const std::string encodingName = line.option("encoding").value_or("utf-8");
    if (encodingName != "utf-8" && encodingName != "cp932") {
        throw UsageError("--encoding is utf-8 or cp932, not \"" + encodingName + "\"");
    }
    const ExportEncoding encoding = encodingName == "cp932" ? ExportEncoding::Cp932 : ExportEncoding::Utf8;

    const LocalDateTime now = SystemClock().now();
    const CommonConfiguration common = readCommonConfiguration(root / "共通データ.txt");
    auto roster = std::make_unique<RosterTables>();
    for (const std::string& sentence :
         LoadRoster(*roster, root / "新名簿.txt", now.date, common.YearChangeMonth,
                    common.RosterOption, [](const RosterEntry&, int) {})) {
        std::cerr << (root / "新名簿.txt").string() << ": " << sentence << '\n';
    }
    CriteriaTable criteria;
    LoadCriteriaTable(folder / kCriteriaFileName, criteria, kDefinedLevelCount);
    ProgramProfile profile;
    ApplyProfileLevels(profile);
    const ExportSources sources{*roster, profile.LevelNames, criteria, common.YearChangeMonth};

    const std::filesystem::path resultsFile = folder / kResultsFileName;
    const ExportSummary summary =
        line.option("output")
            ? exportResultsToFile(resultsFile, sources, period, encoding, *line.option("output"))
            : exportResults(resultsFile, sources, period, encoding, std::cout);
    if (summary.passedOver != 0) {
        std::cerr << resultsFile.string() << ": " << summary.passedOver
                  << " records the program cannot show were not exported (gaisan-records check "
                     "names them)\n";
    }
    return 0;
}

/// The value of option `name` among `choices`, or `fallback` when it is not given.
template <typename Value>
Value choiceOption(const CommandLine& line, const std::string& name,
                   const std::vector<std::pair<std::string, Value>>& choices, Value fallback) {
    const std::optional<std::string> text = line.option(name);
    if (!text) return fallback;
    std::string names;
    for (const auto& [choice, value] : choices) {
        if (*text == choice) return value;
        names += (names.empty() ? "" : ", ") + choice;
    }
    throw UsageError("--" + name + " must be one of " + names + ", not \"" + *text + "\"");
}

/// The program's state as the level menu has it for `student`: the school's settings and roster
/// from the data root above `folder`, the criteria and the counts of the results.
std::unique_ptr<AppState> menuStateOf(const std::filesystem::path& folder, int student,
                                      const LocalDateTime& now) {
    auto state = std::make_unique<AppState>();
    const std::filesystem::path root = folder.parent_path();
    state->common = readCommonConfiguration(root / "共通データ.txt");
    ApplyProfileTitle(state->profile);
    ApplyProfileLevels(state->profile);
    LoadCriteriaTable(folder / kCriteriaFileName, state->criteria, kDefinedLevelCount);
    const auto skipped = LoadRoster(state->roster, root / "新名簿.txt", now.date,
                                    state->common.YearChangeMonth, state->common.RosterOption, {});
    for (const std::string& sentence : skipped) {
        std::cerr << (root / "新名簿.txt").string() << ": " << sentence << '\n';
    }
    state->login.StudentIndex = student;
    // A folder without results has nothing to list; it is not given an empty file.
    if (std::filesystem::exists(folder / kResultsFileName)) {
        PosixRecordFile recordFile;
        const FixedClock clock(now);
        ResultsFile results(recordFile, folder / kResultsFileName, clock, sleepingWait());
        if (const auto failure = ComputeCounts(*state, results, now)) {
            throw Unusable((folder / kResultsFileName).string() + ": " + failure->message);
        }
    }
    return state;
}

/// The rows of every level's list of the level menu, built by the menu's own code.
int list(const CommandLine& line) {
    std::filesystem::path folder = std::filesystem::absolute(onlyOperand(line, "DATA_FOLDER"));
    if (!folder.has_filename()) folder = folder.parent_path();
    if (!line.option("list")) throw UsageError("--list is needed");
    const ResultsList results = choiceOption<ResultsList>(
        line, "list",
        {{"best", ResultsList::BestTimes}, {"points-total", ResultsList::TotalPoints},
         {"points-today", ResultsList::TodayPoints}, {"today", ResultsList::TodayRuns},
         {"period", ResultsList::PeriodRuns}, {"personal", ResultsList::PersonalRuns}},
        ResultsList::BestTimes);
    const Period period = choiceOption<Period>(
        line, "period",
        {{"week", Period::ThisWeek}, {"since-last-week", Period::SinceLastWeek},
         {"month", Period::Month}, {"year", Period::Year}, {"all", Period::All}},
        Period::Month);
    const RankingView view = choiceOption<RankingView>(
        line, "view", {{"time", RankingView::Time}, {"points", RankingView::Points}},
        RankingView::Time);
    std::vector<std::pair<std::string, std::string>> bands;
    for (const std::string& band : gradeBands()) bands.emplace_back(band, band);
    const std::string band = choiceOption<std::string>(line, "band", bands, "全学年");
    const int student = static_cast<int>(line.wholeOption("student", 1, kHighestStudent).value_or(0));
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
    } else if (std::filesystem::exists(folder / kResultsFileName)) {
        const RunList runList = results == ResultsList::TodayRuns   ? RunList::Today
                                : results == ResultsList::PeriodRuns ? RunList::Period
                                                                     : RunList::Personal;
        const RunListQuery query{runList, view, PeriodDays(period, now.date), band, now.date};
        PosixRecordFile recordFile;
        const RecordReadEvents events{[wait = sleepingWait()](const FileError&) mutable { wait(1); }, {}};
        if (const auto failure = readRunList(*state, recordFile, folder / kResultsFileName, query,
                                             events, rows)) {
            throw Unusable((folder / kResultsFileName).string() + ": " + failure->message);
        }
    }
    for (int level = 1; level <= levels; ++level) {
        std::cout << "level " << level << '\n';
        for (const std::string& row : rows[level]) std::cout << row << '\n';
    }
    return 0;
}

/// Record N of the command line: a whole number from 1.
std::uint64_t recordNumberOperand(const CommandLine& line) {
    if (line.operands.size() != 2) throw UsageError("expected FILE and a record number N");
    const std::string& text = line.operands[1];
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || number == 0) {
        throw UsageError("N must be a record number from 1, not \"" + text + "\"");
    }
    return number;
}

/// With --expect, the record must print exactly as the line given; without it, any record will do.
RecordCheck expectedRecord(const CommandLine& line, std::uint64_t number) {
    const std::optional<std::string> expected = line.option("expect");
    if (!expected) return [](std::span<const std::byte, ResultRecord::kSize>) { return true; };
    return [expected = *expected, number](std::span<const std::byte, ResultRecord::kSize> current) {
        return dumpLine(number, decodeRecord(current)) == expected;
    };
}

/// Exit status 0 when the change was made, 1 when record N is not the one expected or there is
/// none, 2 when a file error stopped it.
int changeStatus(const std::string& file, std::uint64_t number,
                 const RecordsAdministration::Result& result) {
    reportInterruptedDelete(result.interrupted, std::cerr);
    switch (result.outcome) {
        case RecordsAdministration::Outcome::Done:
            return 0;
        case RecordsAdministration::Outcome::Refused:
            throw UsageError(result.problem);
        case RecordsAdministration::Outcome::NotTheRecord:
            std::cerr << "gaisan-records: record " << number
                      << " is not the one expected; nothing was changed\n";
            return 1;
        case RecordsAdministration::Outcome::PastEnd:
            std::cerr << "gaisan-records: " << file << " has no record " << number
                      << "; nothing was changed\n";
            return 1;
        case RecordsAdministration::Outcome::Failed:
            break;
    }
    throw Unusable(file + ": " + result.error->description);
}

int deleteRecord(const CommandLine& line) {
    const std::uint64_t number = recordNumberOperand(line);
    const std::string& file = line.operands[0];
    if (!std::filesystem::is_regular_file(file)) throw Unusable(file + ": no such file");
    PosixRecordFile recordFile;
    RecordsAdministration administration(recordFile, file, sleepingWait());
    return changeStatus(file, number, administration.deleteRecord(number, expectedRecord(line, number)));
}

int setRecord(const CommandLine& line) {
    const std::uint64_t number = recordNumberOperand(line);
    const std::string& file = line.operands[0];
    const auto student = line.wholeOption("student", 1, kHighestStudent);
    const auto seconds = line.wholeOption("seconds", 0, 99999);
    if (!student && !seconds) throw UsageError("--seconds or --student is needed");
    if (!std::filesystem::is_regular_file(file)) throw Unusable(file + ": no such file");
    PosixRecordFile recordFile;
    RecordsAdministration administration(recordFile, file, sleepingWait());
    return changeStatus(file, number,
                        administration.writeBack(number, expectedRecord(line, number), student, seconds));
}

int run(const std::vector<std::string>& arguments) {
    if (arguments.empty()) throw UsageError("no command");
    const std::string& command = arguments.front();
    const std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "dump") return dump(CommandLine::parse(rest, {}));
    if (command == "append") {
        return append(CommandLine::parse(rest, {"student", "level", "seconds", "school", "at"}));
    }
    if (command == "counts") return counts(CommandLine::parse(rest, {"now"}));
    if (command == "roster") return roster(CommandLine::parse(rest, {"now"}));
    if (command == "check") return check(CommandLine::parse(rest, {"now"}));
    if (command == "delete") return deleteRecord(CommandLine::parse(rest, {"expect"}));
    if (command == "set") return setRecord(CommandLine::parse(rest, {"seconds", "student", "expect"}));
    if (command == "export") {
        return exportRuns(CommandLine::parse(rest, {"from", "to", "encoding", "output"}));
    }
    if (command == "list") {
        return list(CommandLine::parse(rest, {"list", "period", "view", "band", "student", "now"}));
    }
    throw UsageError("unknown command \"" + command + "\"");
}

}  // namespace

/// "FILE: " for the file or folder a command names, so that an unexpected failure still says
/// which file it met; empty when the command names none.
std::string fileOperandOf(int argc, char* argv[]) {
    if (argc < 3) return "";
    const std::string operand = argv[2];
    return operand.starts_with("--") ? "" : operand + ": ";
}

}  // namespace gaisan

int main(int argc, char* argv[]) {
    try {
        const int status = gaisan::run(std::vector<std::string>(argv + 1, argv + argc));
        // Output that never arrived (a full disk, a closed pipe) is no success.
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "gaisan-records: the output could not be written\n";
            return 2;
        }
        return status;
    } catch (const gaisan::UsageError& e) {
        std::cerr << "gaisan-records: " << e.what() << '\n' << gaisan::kUsage;
    } catch (const gaisan::DataFileError& e) {
        std::cerr << "gaisan-records: " << e.file().string() << ": " << e.problem() << '\n';
    } catch (const gaisan::Unusable& e) {
        std::cerr << "gaisan-records: " << e.what() << '\n';
    } catch (const std::bad_alloc&) {
        std::cerr << "gaisan-records: " << gaisan::fileOperandOf(argc, argv)
                  << "not enough memory to go on\n";
    } catch (const std::exception& e) {
        std::cerr << "gaisan-records: " << gaisan::fileOperandOf(argc, argv) << e.what() << '\n';
    } catch (...) {
        std::cerr << "gaisan-records: " << gaisan::fileOperandOf(argc, argv)
                  << "an unexpected error ended the command\n";
    }
    return 2;
}

// gaisan-records: the shared results file for teachers and scripts, on the same code, lock,
// retries and counting rules as the program. Output is UTF-8, tab-separated.

#include <unistd.h>

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
#include "app/Configuration.h"
#include "app/ProgramProfile.h"
#include "platform/Calendar.h"
#include "platform/Cp932.h"
#include "platform/DataFileError.h"
#include "platform/PosixRecordFile.h"
#include "platform/Utf8.h"
#include "records/Counts.h"
#include "records/ResultsFile.h"
#include "roster/Roster.h"
#include "tools/CommandLine.h"

namespace gaisan {
namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  gaisan-records dump FILE\n"
    "  gaisan-records append FILE --student N --level N --seconds N [--school CODE]\n"
    "                        [--at \"YYYY-MM-DD HH:MM:SS\"]\n"
    "  gaisan-records counts DATA_FOLDER [--now \"YYYY-MM-DD HH:MM:SS\"]\n"
    "  gaisan-records roster DATA_ROOT [--now \"YYYY-MM-DD HH:MM:SS\"]\n"
    "  gaisan-records check FILE [--now \"YYYY-MM-DD HH:MM:SS\"]\n";

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

std::string trimmedRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::string twoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

/// The record's date as YYYY-MM-DD, or its raw number when it is no day number.
std::string dateText(double serial) {
    if (!std::isfinite(serial) || serial != std::floor(serial) || std::abs(serial) > 3e6) {
        std::ostringstream raw;
        raw << serial;
        return raw.str();
    }
    const CivilDate date = dateOfSerial(static_cast<int>(serial));
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

/// The record's clock as HH:MM:SS, or its raw number when it is no time of day.
std::string clockText(double fraction) {
    if (!std::isfinite(fraction) || fraction < 0 || fraction >= 1) {
        std::ostringstream raw;
        raw << fraction;
        return raw.str();
    }
    const int seconds = std::min(86399, static_cast<int>(std::lround(fraction * 86400)));
    return twoDigits(seconds / 3600) + ":" + twoDigits(seconds / 60 % 60) + ":" +
           twoDigits(seconds % 60);
}

/// Hands every whole record of `file` to `onRecord` in file order, with its 1-based number, and
/// returns the number of bytes of a partial record after them. Streams in constant memory and
/// reads no further than the length seen at the start, so that a huge file costs only time and
/// one that never ends cannot hold the tool. Reads without a lock, as every reader of the file
/// does.
std::size_t forEachRecord(const std::string& file,
                          const std::function<void(std::uint64_t, const ResultRecord&)>& onRecord) {
    PosixRecordFile recordFile;
    std::uint64_t length = 0;
    const auto unusable = [&](const FileError& error) { return Unusable(file + ": " + error.description); };
    if (auto error = recordFile.openForReading(file)) throw unusable(*error);
    if (auto error = recordFile.length(length)) throw unusable(*error);
    constexpr std::size_t kRecordsPerRead = 4096;
    std::vector<std::byte> buffer(kRecordsPerRead * ResultRecord::kSize);
    const std::uint64_t wholeRecords = length / ResultRecord::kSize;
    std::uint64_t number = 1;
    while (number <= wholeRecords) {
        const auto wanted = static_cast<std::size_t>(
            std::min<std::uint64_t>(kRecordsPerRead, wholeRecords - number + 1));
        std::size_t bytesRead = 0;
        if (auto error = recordFile.readAt((number - 1) * ResultRecord::kSize,
                                           std::span(buffer.data(), wanted * ResultRecord::kSize),
                                           bytesRead)) {
            throw unusable(*error);
        }
        const std::size_t whole = bytesRead / ResultRecord::kSize;
        if (whole == 0) break;  // cut back meanwhile
        for (std::size_t i = 0; i < whole; ++i, ++number) {
            onRecord(number, decodeRecord(std::span<const std::byte, ResultRecord::kSize>(
                                 buffer.data() + i * ResultRecord::kSize, ResultRecord::kSize)));
        }
    }
    return static_cast<std::size_t>(length - wholeRecords * ResultRecord::kSize);
}

void reportPartial(std::uint64_t wholeRecords, std::size_t partialBytes) {
    if (partialBytes == 0) return;
    std::cerr << "partial record of " << partialBytes << " bytes after record " << wholeRecords
              << " (at byte " << wholeRecords * ResultRecord::kSize << ")\n";
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
    std::uint64_t count = 0;
    const std::size_t partialBytes =
        forEachRecord(onlyOperand(line, "FILE"), [&](std::uint64_t number, const ResultRecord& r) {
            std::cout << number << '\t' << dateText(r.RecordDate) << '\t' << clockText(r.RecordClock)
                      << '\t' << r.StudentIndex << '\t' << r.LevelIndex << '\t' << r.ResultSeconds
                      << '\t' << trimmedRight(r.SchoolCode) << '\t' << trimmedRight(r.ExtraField)
                      << '\t' << trimmedRight(r.PointsField) << '\n';
            count = number;
        });
    reportPartial(count, partialBytes);
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

int check(const CommandLine& line) {
    const int today = daySerial(nowOrOption(line, "now").date);
    std::uint64_t count = 0;
    int problems = 0;
    const std::size_t partialBytes =
        forEachRecord(onlyOperand(line, "FILE"), [&](std::uint64_t number, const ResultRecord& r) {
            count = number;
            const auto problem = ResultsFile::problemOf(r, today);
            if (!problem) return;
            std::cout << "record " << number << ": student " << r.StudentIndex << ", level "
                      << r.LevelIndex << ", date " << dateText(r.RecordDate) << ", clock "
                      << clockText(r.RecordClock) << ": " << *problem << '\n';
            ++problems;
        });
    if (partialBytes != 0) {
        std::cout << "partial record of " << partialBytes << " bytes after record " << count << '\n';
        ++problems;
    }
    if (problems == 0) std::cout << "ok: " << count << " records\n";
    return problems == 0 ? 0 : 1;
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

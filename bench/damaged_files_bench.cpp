// The day's first append, which takes the daily copies under the append lock, when a file it
// copies is damaged: the change history grown by zeros to 1 GiB (a crash on a share, a damaged
// disk), or the answers file of the run's student grown to 4 GB; both sparse, as such damage
// usually is. Beside the same append in a folder whose history and answers are those of an
// ordinary year, measured in the same rounds ("x_sound" is the ratio, "sound_ms" its own time).
// The time is how long every other machine's append waits. Run: build/bench/damaged_files_bench

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "Succeeds.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/DailyBackup.h"
#include "stores/results/ResultsFile.h"
#include "support/FakeClock.h"
#include "support/RealDisk.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

constexpr int kStudent = 12;
const CivilDate kToday{2026, 12, 10};
/// An ordinary year: 20000 runs, 400 changes by the teacher, 1000 runs of the student.
constexpr int kRecords = 20000;
constexpr int kChanges = 400;
constexpr int kStudentRuns = 1000;

enum class Damage { None, History, Answers };

const std::vector<AnswerRecord>& answersOfARun() {
    static const std::vector<AnswerRecord> answers = [] {
        AnswerRecord answer;
        answer.first = 449;
        answer.second = 120;
        answer.boxes = {"400", "100", "500"};
        return std::vector<AnswerRecord>(10, answer);
    }();
    return answers;
}

void writeRepeated(const std::filesystem::path& file, std::span<const std::byte> bytes, int times) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream stream(file, std::ios::binary);
    for (int i = 0; i < times; ++i) {
        stream.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()));
    }
}

/// A data folder with a year of runs, its history and the student's answers, made once per
/// damage; a damaged file is grown by zeros to its size, sparse, taking no room on the disk.
const std::filesystem::path& resultsFileWith(Damage damage) {
    static testing::TempFolder folders[3] = {testing::TempFolder{testing::realDiskFolder()},
                                             testing::TempFolder{testing::realDiskFolder()},
                                             testing::TempFolder{testing::realDiskFolder()}};
    static std::filesystem::path made[3];
    const auto index = static_cast<std::size_t>(damage);
    if (!made[index].empty()) return made[index];
    const std::filesystem::path path = folders[index] / "成績累積データ.dat";
    const ResultRecord run = testing::runRecord(kStudent, 1, 50, {2026, 12, 9});
    testing::appendRecords(path, std::vector<ResultRecord>(kRecords, run));
    HistoryEntry change =
        historyEntryFor(HistoryEntry::Kind::WriteBack, 1, kRecords, {{2026, 12, 9}, 10 * 3600.0});
    change.before = change.after = encodeRecord(run);
    writeRepeated(historyFileOf(path), encodeHistoryEntry(change), kChanges);
    const std::filesystem::path answers = answersFileOf(path, 2026, kStudent);
    writeRepeated(
        answers,
        encodeRunAnswers(
            {{run.RecordDate, run.RecordClock, run.StudentIndex, run.LevelIndex}, answersOfARun()}),
        kStudentRuns);
    if (damage == Damage::History) std::filesystem::resize_file(historyFileOf(path), 1ull << 30);
    if (damage == Damage::Answers) std::filesystem::resize_file(answers, 4ull << 30);
    made[index] = path;
    return made[index];
}

/// The day's first append to `results`, its answers included: the day's copies are removed
/// first.
void appendFirstOfTheDay(const std::filesystem::path& results) {
    std::filesystem::remove_all(backupFolderOf(results));
    const testing::FakeClock clock{kToday, 10 * 3600.0};
    PosixRecordFile file;
    PosixRecordFile answersFile;
    ResultsFile appender(file, results, clock, [](int) {});
    appender.keepAnswers(answersFile);
    succeeds(appender.AppendResultRecord({kStudent, 1, 40, std::nullopt}, answersOfARun()),
             "the append");
}

void firstAppendOfTheDay(benchmark::State& state, Damage damage) {
    const std::filesystem::path& damaged = resultsFileWith(damage);
    const std::filesystem::path& sound = resultsFileWith(Damage::None);
    double damagedSeconds = 0;
    double soundSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        appendFirstOfTheDay(damaged);
        const auto appended = std::chrono::steady_clock::now();
        state.PauseTiming();
        damagedSeconds += std::chrono::duration<double>(appended - start).count();
        const auto soundStart = std::chrono::steady_clock::now();
        appendFirstOfTheDay(sound);
        soundSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - soundStart).count();
        state.ResumeTiming();
    }
    state.counters["x_sound"] = damagedSeconds / soundSeconds;
    state.counters["sound_ms"] = 1000 * soundSeconds / static_cast<double>(state.iterations());
}

BENCHMARK_CAPTURE(firstAppendOfTheDay, history_grown_to_1GiB, Damage::History)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(firstAppendOfTheDay, answers_grown_to_4GB, Damage::Answers)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace gaisan

BENCHMARK_MAIN();

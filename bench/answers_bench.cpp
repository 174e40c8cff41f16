// The answers of the runs: what keeping a run's answers adds to recording it on a local disk,
// beside the run record's own append; and the mistake analysis of one school year of a large
// school (1000000 runs' answers over 1000 students) for the whole class and for one student,
// beside the raw read of the bytes each reads (the results file and the answers files it
// opens). Run: build/bench/answers_bench

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <random>

#include "Succeeds.h"
#include "platform/FileBytes.h"
#include "platform/PosixRecordFile.h"
#include "rules/analysis/MistakeAnalysis.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/ResultsFile.h"
#include "support/FakeClock.h"
#include "support/RealDisk.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

constexpr int kRuns = 1'000'000;
constexpr int kStudents = 1000;
const CivilDate kFirstDay{2026, 4, 1};
const CivilDate kToday{2026, 12, 10};

/// The answers of a run as a child gives them: ten right, and now and then a wrong one, which
/// costs one more right answer.
std::vector<AnswerRecord> answersOfARun(std::mt19937& random) {
    std::vector<AnswerRecord> answers;
    for (int right = 0; right < 10;) {
        AnswerRecord answer;
        answer.first = 10 + static_cast<int>(random() % 900);
        answer.second = 10 + static_cast<int>(random() % 900);
        answer.place = 2;
        answer.problemType = 1;
        answer.tenths = static_cast<std::uint16_t>(30 + random() % 100);
        const auto rounded = [](int n) { return std::to_string((n + 50) / 100 * 100); };
        answer.boxes = {rounded(answer.first), rounded(answer.second), "0"};
        answer.boxes[2] = std::to_string(std::stoi(answer.boxes[0]) + std::stoi(answer.boxes[1]));
        if (random() % 6 == 0) {
            answer.boxes[0] = std::to_string(answer.first / 100 * 100 + 100);
            answer.wrongBoxes = 0b001;
            right = std::max(0, right - 1);
        } else {
            ++right;
        }
        answers.push_back(std::move(answer));
    }
    return answers;
}

/// A school year of 1000000 runs with their answers, made once: the results file and a file per
/// student, as the program leaves them.
const std::filesystem::path& schoolYear() {
    static testing::TempFolder folder{testing::realDiskFolder()};
    static const std::filesystem::path results = [] {
        const std::filesystem::path path = folder / "成績累積データ.dat";
        std::mt19937 random(2026);
        const int firstDay = daySerial(kFirstDay);
        const int days = daySerial(kToday) - firstDay + 1;
        std::vector<std::vector<std::byte>> files(kStudents + 1);
        std::ofstream records(path, std::ios::binary);
        // About 4000 runs a day, seven seconds apart from eight in the morning.
        int previousDay = -1;
        int runOfDay = 0;
        for (int i = 0; i < kRuns; ++i) {
            const int student = 1 + static_cast<int>(random() % kStudents);
            const int day = firstDay + static_cast<int>(static_cast<long long>(i) * days / kRuns);
            if (day != previousDay) previousDay = day, runOfDay = 0;
            const ResultRecord record = testing::runRecord(student, 1, 60, dateOfSerial(day),
                                                           (8 * 3600 + 7 * runOfDay++) / 86400.0);
            const RecordBytes bytes = encodeRecord(record);
            records.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            const std::vector<std::byte> block = encodeRunAnswers(
                {{record.RecordDate, record.RecordClock, record.StudentIndex, record.LevelIndex},
                 answersOfARun(random)});
            files[static_cast<std::size_t>(student)].insert(
                files[static_cast<std::size_t>(student)].end(), block.begin(), block.end());
        }
        std::filesystem::create_directories(answersFolderOf(path, 2026));
        for (int student = 1; student <= kStudents; ++student) {
            const auto& bytes = files[static_cast<std::size_t>(student)];
            std::ofstream(answersFileOf(path, 2026, student), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
        return path;
    }();
    return results;
}

AnalysisScope scopeOf(std::vector<int> students) {
    return {std::move(students), {}, daySerial(kFirstDay), daySerial(kToday)};
}

std::vector<int> wholeClass() {
    std::vector<int> students;
    for (int student = 1; student <= kStudents; ++student) students.push_back(student);
    return students;
}

/// The bare cost the analysis cannot avoid: reading the bytes of the results file and of the
/// answers files of `students`.
std::uint64_t rawRead(const std::vector<int>& students) {
    const auto whole = std::numeric_limits<std::size_t>::max();
    std::uint64_t bytes = readFileBytes(schoolYear(), whole).value().size();
    for (int student : students) {
        bytes += readFileBytes(answersFileOf(schoolYear(), 2026, student), whole).value().size();
    }
    benchmark::DoNotOptimize(bytes);
    return bytes;
}

/// The analysis of `students`, with the raw read of the same bytes run between the timed rounds
/// ("x_raw_read" is the ratio, "raw_read_ms" the raw read's own time).
void analyse(benchmark::State& state, const std::vector<int>& students) {
    const std::filesystem::path& results = schoolYear();  // made before the timing
    PosixRecordFile file;
    double analysisSeconds = 0;
    double rawSeconds = 0;
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const MistakeAnalysis analysis = analyseMistakes(file, results, scopeOf(students)).value();
        benchmark::DoNotOptimize(analysis.group.counts.answers);
        const auto analysed = std::chrono::steady_clock::now();
        state.PauseTiming();
        if (analysis.report.runsInScope == 0 ||
            analysis.group.runs != analysis.report.runsInScope) {
            std::fprintf(stderr, "benchmark step failed: the analysis missed runs\n");
            std::exit(1);
        }
        const auto rawStart = std::chrono::steady_clock::now();
        bytes = rawRead(students);
        rawSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - rawStart).count();
        analysisSeconds += std::chrono::duration<double>(analysed - start).count();
        state.ResumeTiming();
    }
    state.counters["x_raw_read"] = analysisSeconds / rawSeconds;
    state.counters["raw_read_ms"] = 1000 * rawSeconds / static_cast<double>(state.iterations());
    state.counters["MB_read"] = static_cast<double>(bytes) / 1e6;
}

void classAnalysis(benchmark::State& state) { analyse(state, wholeClass()); }
BENCHMARK(classAnalysis)->Unit(benchmark::kMillisecond);

void studentAnalysis(benchmark::State& state) { analyse(state, {500}); }
BENCHMARK(studentAnalysis)->Unit(benchmark::kMillisecond);

/// One run recorded on a local disk, with its twelve answers (Arg 1) or without (Arg 0), into a
/// results file of 20000 records.
void recordRun(benchmark::State& state) {
    const bool withAnswers = state.range(0) == 1;
    testing::TempFolder folder{testing::realDiskFolder()};
    const auto path = folder / "成績累積データ.dat";
    std::vector<ResultRecord> earlier(20000, testing::runRecord(1, 1, 60));
    testing::appendRecords(path, earlier);
    testing::FakeClock clock(kToday, 9 * 3600.0);
    PosixRecordFile file;
    PosixRecordFile answersFile;
    ResultsFile results(file, path, clock, [](int) {});
    if (withAnswers) results.keepAnswers(answersFile);
    std::mt19937 random(1);
    const std::vector<AnswerRecord> answers = answersOfARun(random);
    // The day's backups are taken before the timing: they come once a day.
    succeeds(results.AppendResultRecord({7, 1, 60, std::nullopt}, answers), "first append");
    for (auto _ : state) {
        clock.advanceSeconds(1);
        const Expected<AppendDone> appended =
            results.AppendResultRecord({7, 1, 60, std::nullopt}, answers);
        succeeds(appended, "append");
        succeeds(appended->answersProblem, "answers");
    }
    state.counters["answers"] = withAnswers ? static_cast<double>(answers.size()) : 0;
}
BENCHMARK(recordRun)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gaisan

BENCHMARK_MAIN();

// The shared results file at scale: loading and counting 20000 and 200000 records over 5000
// students and 24 levels, beside the raw baseline of reading the same bytes and clearing the same
// tables (the "x_baseline" counter is the ratio, measured in the same rounds); and appends per
// second, for one process and for four processes contending for the lock. Run:
// build/bench/results_bench

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <limits>
#include <map>
#include <memory>
#include <random>

#include "Succeeds.h"
#include "base/AppState.h"
#include "platform/FileBytes.h"
#include "platform/PosixRecordFile.h"
#include "rules/counts/Counts.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

constexpr int kStudents = 5000;
constexpr int kLevels = 24;
const CivilDate kToday{2026, 12, 10};

/// A results file of `records` runs spread over the last year, made once per size.
const std::filesystem::path& resultsFileOf(int records) {
    static testing::TempFolder folder;
    static std::map<int, std::filesystem::path> files;
    auto [found, made] =
        files.try_emplace(records, folder / ("results-" + std::to_string(records) + ".dat"));
    if (made) {
        std::mt19937 random(records);
        std::vector<ResultRecord> all;
        all.reserve(static_cast<std::size_t>(records));
        for (int i = 0; i < records; ++i) {
            all.push_back(testing::runRecord(
                1 + static_cast<int>(random() % kStudents),
                1 + static_cast<int>(random() % kLevels), 20 + static_cast<int>(random() % 400),
                dateOfSerial(daySerial(kToday) - static_cast<int>(random() % 365))));
        }
        testing::appendRecords(found->second, all);
    }
    return found->second;
}

std::unique_ptr<AppState> stateWithCriteria() {
    auto state = std::make_unique<AppState>();
    for (int level = 1; level <= kLevels; ++level) {
        state->criteria.TargetTime.at(level) = 90;
        state->criteria.PointRate.at(level) = 1.5f;
        state->criteria.PassDays.at(level) = 30;
        state->criteria.OveruseDays.at(level) = 1;
    }
    return state;
}

/// The bare cost the loader cannot avoid: reading the newest records' bytes and clearing the
/// count and best-time tables.
void rawBaseline(const std::filesystem::path& file, CountTables& counts) {
    const std::string bytes = readFileBytes(file, std::numeric_limits<std::size_t>::max()).value();
    const std::size_t window = LoadedRecords::kLoadWindow * ResultRecord::kSize;
    benchmark::DoNotOptimize(bytes.data() + (bytes.size() > window ? bytes.size() - window : 0));
    counts.clearCounts();
    counts.BestTime.fill(kNoTime);
    benchmark::ClobberMemory();
}

void baseline(benchmark::State& state) {
    const auto& file = resultsFileOf(static_cast<int>(state.range(0)));
    auto counts = std::make_unique<CountTables>();
    for (auto _ : state) rawBaseline(file, *counts);
}
BENCHMARK(baseline)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

void loadAndCount(benchmark::State& state) {
    const auto& file = resultsFileOf(static_cast<int>(state.range(0)));
    auto app = stateWithCriteria();
    testing::FakeClock clock(kToday, 12 * 3600.0);
    PosixRecordFile recordFile;
    ResultsFile results(recordFile, file, clock, [](int) {});
    // The baseline runs between the timed rounds, on tables of its own, so that both meet the
    // machine in the same state.
    auto scratch = std::make_unique<CountTables>();
    double countingSeconds = 0;
    double baselineSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        succeeds(ComputeCounts(*app, results, clock.now()), "counts");
        const auto counted = std::chrono::steady_clock::now();
        state.PauseTiming();
        const auto baselineStart = std::chrono::steady_clock::now();
        rawBaseline(file, *scratch);
        baselineSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - baselineStart).count();
        countingSeconds += std::chrono::duration<double>(counted - start).count();
        state.ResumeTiming();
    }
    state.counters["x_baseline"] = countingSeconds / baselineSeconds;
}
BENCHMARK(loadAndCount)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

/// Appends from `processes` processes at once, each `appendsEach` records, to a fresh file;
/// reports the appends per second of all of them together.
void appends(benchmark::State& state) {
    const int processes = static_cast<int>(state.range(0));
    constexpr int kAppendsEach = 1000;
    for (auto _ : state) {
        testing::TempFolder folder;
        const auto path = folder / "成績累積データ.dat";
        const auto start = std::chrono::steady_clock::now();
        std::vector<pid_t> children;
        for (int p = 0; p < processes; ++p) {
            const pid_t pid = fork();
            if (pid == 0) {
                SystemClock clock;
                PosixRecordFile file;
                ResultsFile results(file, path, clock, [](int) { usleep(1000); });
                for (int i = 0; i < kAppendsEach; ++i) {
                    succeeds(results.AppendResultRecord({p + 1, 1, i, std::nullopt}), "append");
                }
                _exit(0);
            }
            children.push_back(pid);
        }
        for (const pid_t pid : children) waitpid(pid, nullptr, 0);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        state.counters["appends_per_second"] = processes * kAppendsEach / seconds;
    }
}
BENCHMARK(appends)->Arg(1)->Arg(4)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gaisan

BENCHMARK_MAIN();

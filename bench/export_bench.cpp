// The spreadsheet export of a results file of 1000000 runs over 5000 named students, in UTF-8
// and in CP932, beside the raw baseline of reading the same bytes (the "x_baseline" counter is
// the ratio, measured in the same rounds).
// Run: build/bench/export_bench

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <limits>
#include <memory>
#include <random>

#include "base/ProgramProfile.h"
#include "platform/Calendar.h"
#include "platform/FileBytes.h"
#include "rules/exports/ResultsExport.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

constexpr int kRecords = 1000000;
constexpr int kStudents = 5000;
constexpr int kLevels = 24;
const CivilDate kToday{2026, 12, 10};

/// The results file, made once, of runs spread over the last three years.
const std::filesystem::path& resultsFile() {
    static testing::TempFolder folder;
    static const std::filesystem::path file = [] {
        const std::filesystem::path path = folder / "成績累積データ.dat";
        std::mt19937 random(kRecords);
        std::vector<ResultRecord> chunk;
        for (int i = 0; i < kRecords; ++i) {
            chunk.push_back(testing::runRecord(
                1 + static_cast<int>(random() % kStudents),
                1 + static_cast<int>(random() % kLevels),
                random() % 50 == 0 ? 99999 : 20 + static_cast<int>(random() % 400),
                dateOfSerial(daySerial(kToday) - static_cast<int>(random() % 1095))));
            if (chunk.size() == 100000) {
                testing::appendRecords(path, chunk);
                chunk.clear();
            }
        }
        return path;
    }();
    return file;
}

struct School {
    std::unique_ptr<RosterTables> roster = std::make_unique<RosterTables>();
    ProgramProfile profile;
    CriteriaTable criteria;

    School() {
        for (int student = 1; student <= kStudents; ++student) {
            roster->RosterNames.at(student) = "生徒　" + std::to_string(student);
            roster->RosterYear.at(student) = static_cast<std::int16_t>(2010 + student % 12);
        }
        ApplyProfileLevels(profile);
        for (int level = 1; level <= kLevels; ++level) {
            criteria.TargetTime.at(level) = 90;
            criteria.PointRate.at(level) = 1.5f;
        }
    }
};

void exportRuns(benchmark::State& state) {
    const auto encoding = static_cast<ExportEncoding>(state.range(0));
    const auto& file = resultsFile();
    const School school;
    const ExportSources sources{*school.roster, school.profile.LevelNames, school.criteria, 4};
    testing::TempFolder out;
    double exportSeconds = 0;
    double baselineSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        exportResultsToFile(file, sources, {}, encoding, out / "runs.csv").value();
        const auto exported = std::chrono::steady_clock::now();
        state.PauseTiming();
        const auto baselineStart = std::chrono::steady_clock::now();
        const std::string bytes =
            readFileBytes(file, std::numeric_limits<std::size_t>::max()).value();
        benchmark::DoNotOptimize(bytes.data());
        baselineSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - baselineStart).count();
        exportSeconds += std::chrono::duration<double>(exported - start).count();
        state.ResumeTiming();
    }
    state.counters["x_baseline"] = exportSeconds / baselineSeconds;
    state.counters["csv_MB"] =
        static_cast<double>(std::filesystem::file_size(out / "runs.csv")) / 1e6;
}
BENCHMARK(exportRuns)
    ->ArgName("cp932")
    ->Arg(static_cast<int>(ExportEncoding::Utf8))
    ->Arg(static_cast<int>(ExportEncoding::Cp932))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
}  // namespace gaisan

BENCHMARK_MAIN();

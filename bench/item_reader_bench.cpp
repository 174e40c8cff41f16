// Reading the suite's text files at hostile shapes: a roster of 5000 students written on one
// line and a 1 MB sound table on one line. Beside each: a plain read of the same bytes (the
// floor no reader can go below), and the same items in their ordinary shape, one entry or one
// file name per line, which a linear reader reads in about the same time as the hostile shape.
// Run: build/bench/item_reader_bench

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "base/SoundTable.h"
#include "platform/FileBytes.h"
#include "platform/ItemReader.h"
#include "stores/roster/Roster.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

constexpr int kStudents = 5000;
constexpr std::size_t kSoundTableBytes = 1024 * 1024;

/// The files twice: with the separator between entries (or file names) a comma, all on one
/// line, and a line end, one per line.
struct HostileFiles {
    testing::TempFolder folder;
    std::filesystem::path oneLineRoster, roster;
    std::filesystem::path oneLineSoundTable, soundTable;

    HostileFiles() {
        const auto writeBoth = [&](const std::string& name, const std::string& text) {
            std::string oneLine = text;
            std::size_t at = 0;
            while ((at = oneLine.find("\r\n", at)) != std::string::npos)
                oneLine.replace(at, 2, ",");
            oneLine.pop_back();
            return std::pair{folder.writeCp932("one-line-" + name, oneLine),
                             folder.writeCp932(name, text)};
        };
        std::string entries;
        for (int student = 1; student <= kStudents; ++student) {
            entries += std::to_string(student) + ",2015,0,0,\"生徒　" + std::to_string(student) +
                       "\",0,\"備考\",\"\"\r\n";
        }
        std::tie(oneLineRoster, roster) = writeBoth("新名簿.txt", entries);

        std::string table = "正解音2\r\n";
        for (int i = 0; table.size() < kSoundTableBytes; ++i) {
            table += "\"せいかい" + std::to_string(i % 19) + "\"\r\n";
        }
        table += "*\r\n";
        std::tie(oneLineSoundTable, soundTable) = writeBoth("新音ファイル.txt", table);
    }
};

const HostileFiles& files() {
    static const HostileFiles instance;
    return instance;
}

void plainRead(benchmark::State& state, const std::filesystem::path& file) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(readFileBytes(file, ItemReader::kMaxFileBytes));
    }
}

void loadRoster(benchmark::State& state, const std::filesystem::path& file) {
    auto tables = std::make_unique<RosterTables>();
    for (auto _ : state) LoadRoster(*tables, file, {2026, 12, 10}, 4, 0, nullptr).value();
}

void loadSoundTable(benchmark::State& state, const std::filesystem::path& file) {
    for (auto _ : state) {
        SoundTable table;
        LoadSoundTable(file, table).value();
        benchmark::DoNotOptimize(table);
    }
}

void rosterPlainRead(benchmark::State& state) { plainRead(state, files().oneLineRoster); }
void rosterOnePerLine(benchmark::State& state) { loadRoster(state, files().roster); }
void rosterOnOneLine(benchmark::State& state) { loadRoster(state, files().oneLineRoster); }
void soundTablePlainRead(benchmark::State& state) { plainRead(state, files().oneLineSoundTable); }
void soundTableOnePerLine(benchmark::State& state) { loadSoundTable(state, files().soundTable); }
void soundTableOnOneLine(benchmark::State& state) {
    loadSoundTable(state, files().oneLineSoundTable);
}
BENCHMARK(rosterPlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(rosterOnePerLine)->Unit(benchmark::kMillisecond);
BENCHMARK(rosterOnOneLine)->Unit(benchmark::kMillisecond);
BENCHMARK(soundTablePlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(soundTableOnePerLine)->Unit(benchmark::kMillisecond);
BENCHMARK(soundTableOnOneLine)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gaisan

BENCHMARK_MAIN();

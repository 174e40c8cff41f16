// The name list's rebuild and the level menu's activation with a full roster of 5000 students
// and a results file of 20000 records, window code included, drawn off screen. The baseline is
// the bare cost of loading the records and counting them, which both screens do first.
// Run: QT_QPA_PLATFORM=offscreen build/bench/student_loop_bench

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "Succeeds.h"
#include "platform/PosixRecordFile.h"
#include "rules/counts/Counts.h"
#include "stores/installation/Configuration.h"
#include "support/DemoInstallation.h"
#include "support/RecordFiles.h"
#include "windows/menu/seisekitime1.h"
#include "windows/names/namesel.h"

namespace gaisan {
namespace {

constexpr int kStudents = 5000;
constexpr int kRecords = 20000;

/// The demo installation with its roster replaced by 5000 students and 20000 runs of theirs
/// spread over the last year; student 1 is logged in.
struct LargeSchool {
    testing::DemoInstallation installation;

    LargeSchool() {
        std::string roster;
        for (int student = 1; student <= kStudents; ++student) {
            const int rosterYear = 2008 + student % 16;
            roster += std::to_string(student) + "," + std::to_string(rosterYear) + ",0,0,\"生徒　" +
                      std::to_string(student) + "\",0,\"\",\"\"\r\n";
        }
        installation.suite.writeCp932("data/新名簿.txt", roster);
        std::mt19937 random(7);
        std::vector<ResultRecord> records;
        for (int i = 0; i < kRecords; ++i) {
            const int daysAgo = static_cast<int>(random() % 365);
            records.push_back(testing::runRecord(
                1 + static_cast<int>(random() % kStudents), 1 + static_cast<int>(random() % 4),
                30 + static_cast<int>(random() % 300),
                dateOfSerial(daySerial({2026, 12, 10}) - daysAgo)));
        }
        testing::appendRecords(installation.resultsFile(), records);
        LoadConfiguration(*installation.state, installation.suite / "gaisan").value();
        ApplyProfileLevels(installation.state->profile);
        Login& login = installation.state->login;
        login.StudentIndex = 1;
        login.StudentName = "生徒　1";
    }
};

LargeSchool& school() {
    static LargeSchool large;
    return large;
}

void loadAndCountRecords(benchmark::State& state) {
    testing::DemoInstallation& installation = school().installation;
    PosixRecordFile file;
    ResultsFile results(file, installation.resultsFile(), installation.clock, [](int) {});
    for (auto _ : state) {
        succeeds(ComputeCounts(*installation.state, results, installation.clock.now()), "counts");
    }
}
BENCHMARK(loadAndCountRecords)->Unit(benchmark::kMillisecond);

void nameListRebuild(benchmark::State& state) {
    testing::DemoInstallation& installation = school().installation;
    namesel window(*installation.flow);
    for (auto _ : state) window.名簿表示();
}
BENCHMARK(nameListRebuild)->Unit(benchmark::kMillisecond);

void levelMenuActivation(benchmark::State& state) {
    testing::DemoInstallation& installation = school().installation;
    // The roster tables are filled as the name list leaves them.
    namesel names(*installation.flow);
    names.名簿表示();
    seisekitime1 menu(*installation.flow);
    menu.Form_Load();
    for (auto _ : state) menu.Form_Activate();
}
BENCHMARK(levelMenuActivation)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gaisan

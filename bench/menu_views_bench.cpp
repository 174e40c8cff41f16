// Every view and list of the level menu at the scale of a large school: 5000 students, 4 levels
// and a results file of 20000 records, or of 200000 of which the newest 20000 are read; window
// code included, drawn off screen. Each switch is timed beside the raw read of the bytes a run
// list reads (the newest 20000 records), measured in the same rounds: "x_raw_read" is the ratio.
// Run: QT_QPA_PLATFORM=offscreen build/bench/menu_views_bench

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QRadioButton>

#include <chrono>
#include <map>
#include <memory>
#include <random>

#include "Succeeds.h"
#include "base/Periods.h"
#include "platform/PosixRecordFile.h"
#include "stores/installation/Configuration.h"
#include "stores/roster/Roster.h"
#include "support/DemoInstallation.h"
#include "support/RecordFiles.h"
#include "windows/menu/seisekitime1.h"

namespace gaisan {
namespace {

constexpr int kStudents = 5000;
constexpr int kLevels = 4;

/// The demo installation with 5000 students and `records` runs over the last year, oldest
/// first, so that the newest are today's; student 1 is logged in and the menu is open.
struct LargeSchool {
    testing::DemoInstallation installation;
    std::unique_ptr<seisekitime1> menu;

    explicit LargeSchool(int records) {
        std::string roster;
        for (int student = 1; student <= kStudents; ++student) {
            roster += std::to_string(student) + "," + std::to_string(2008 + student % 16) +
                      ",0,0,\"生徒　" + std::to_string(student) + "\",0,\"\",\"\"\r\n";
        }
        installation.suite.writeCp932("data/新名簿.txt", roster);
        std::mt19937 random(static_cast<unsigned>(records));
        std::vector<ResultRecord> runs;
        runs.reserve(static_cast<std::size_t>(records));
        const int today = daySerial({2026, 12, 10});
        for (int i = 0; i < records; ++i) {
            const int daysAgo = static_cast<int>(365LL * (records - 1 - i) / records);
            const int seconds = random() % 50 == 0 ? 99999 : 30 + static_cast<int>(random() % 300);
            runs.push_back(testing::runRecord(1 + static_cast<int>(random() % kStudents),
                                              1 + static_cast<int>(random() % kLevels), seconds,
                                              dateOfSerial(today - daysAgo),
                                              (8 * 3600 + random() % 36000) / 86400.0));
        }
        testing::appendRecords(installation.resultsFile(), runs);

        AppState& state = *installation.state;
        LoadConfiguration(state, installation.suite / "gaisan").value();
        ApplyProfileLevels(state.profile);
        LoadRoster(state.roster, installation.suite / "data/新名簿.txt",
                   installation.clock.now().date, state.common.YearChangeMonth,
                   state.common.RosterOption, {})
            .value();
        state.login.StudentIndex = 1;
        state.login.StudentName = "生徒　1";
        menu = std::make_unique<seisekitime1>(*installation.flow);
        menu->Form_Load();
        menu->resize(DesignCanvas::kDesignWidth, DesignCanvas::kDesignHeight);
        menu->show();
        menu->Form_Activate();
    }

    void check(const char* option) { menu->findChild<QRadioButton*>(option)->setChecked(true); }
};

/// The school of `records` runs, made on first use and kept for the benchmarks after. Its menu
/// is a window, which must go while Qt's application still exists: the application's destructor
/// clears the schools, where the map's own destructor would run from the exit handlers, after
/// the application is gone, and crash.
LargeSchool& school(int records) {
    static std::map<int, std::unique_ptr<LargeSchool>> schools;
    if (schools.empty()) qAddPostRoutine([] { schools.clear(); });
    auto& made = schools[records];
    if (!made) made = std::make_unique<LargeSchool>(records);
    return *made;
}

/// What a run list cannot avoid: opening the file and reading the newest 20000 records' bytes.
void rawRead(const std::filesystem::path& file) {
    PosixRecordFile records;
    succeeds(records.open(file), "open");
    const Expected<std::uint64_t> measured = records.length();
    succeeds(measured, "length");
    const std::uint64_t length = *measured;
    const std::uint64_t window = LoadedRecords::kLoadWindow * ResultRecord::kSize;
    const std::uint64_t from =
        length > window ? length / ResultRecord::kSize * ResultRecord::kSize - window : 0;
    std::vector<std::byte> bytes(static_cast<std::size_t>(length - from));
    succeeds(records.readAt(from, bytes), "read");
    benchmark::DoNotOptimize(bytes.data());
    records.close();
}

/// Times `change` on the menu of a school of state.range(0) records, after `prepare`.
template <typename Prepare, typename Change>
void timeSwitch(benchmark::State& state, Prepare prepare, Change change) {
    LargeSchool& large = school(static_cast<int>(state.range(0)));
    prepare(large);
    double switchSeconds = 0;
    double rawSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        change(*large.menu);
        const auto switched = std::chrono::steady_clock::now();
        state.PauseTiming();
        rawRead(large.installation.resultsFile());
        rawSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - switched).count();
        switchSeconds += std::chrono::duration<double>(switched - start).count();
        state.ResumeTiming();
    }
    state.counters["x_raw_read"] = switchSeconds / rawSeconds;
    state.counters["raw_read_ms"] = 1000 * rawSeconds / static_cast<double>(state.iterations());
}

void rawReadOfTheNewestRecords(benchmark::State& state) {
    LargeSchool& large = school(static_cast<int>(state.range(0)));
    for (auto _ : state) rawRead(large.installation.resultsFile());
}

const auto nothing = [](LargeSchool&) {};

/// The view switches, each building the view's selected list.
void bestTimesView(benchmark::State& state) {
    timeSwitch(
        state, [](LargeSchool& s) { s.check("Option1_1"); },
        [](seisekitime1& m) { m.Option2_Click(0); });
}
void pointsView(benchmark::State& state) {
    timeSwitch(
        state, [](LargeSchool& s) { s.check("Option1_1"); },
        [](seisekitime1& m) { m.Option2_Click(1); });
}
void personalView(benchmark::State& state) {
    timeSwitch(state, nothing, [](seisekitime1& m) { m.Option2_Click(2); });
}

/// The lists of each view; a period's runs are a month's.
template <int View, int Option>
void list(benchmark::State& state) {
    timeSwitch(
        state,
        [](LargeSchool& s) {
            s.installation.state->menu.PeriodChoice = static_cast<int>(Period::Month);
            s.check(View == 0 ? "Option2_0" : "Option2_1");
            s.menu->Option2_Click(View);
        },
        [](seisekitime1& m) { m.Option1_Click(Option); });
}

void periodOfAllRuns(benchmark::State& state) {
    timeSwitch(
        state,
        [](LargeSchool& s) {
            s.check("Option2_0");
            s.menu->Option2_Click(0);
            s.check("Option1_3");
            s.menu->findChild<QComboBox*>("Combo2")->setCurrentIndex(4);
        },
        [](seisekitime1& m) { m.Combo2_Click(); });
}

void bandChange(benchmark::State& state) {
    timeSwitch(
        state,
        [](LargeSchool& s) {
            s.check("Option2_1");
            s.check("Option1_1");
            s.menu->findChild<QComboBox*>("Combo1")->setCurrentText(QStringLiteral("小学生全体"));
        },
        [](seisekitime1& m) { m.Combo1_Click(); });
}

}  // namespace

#define MENU_BENCHMARK(function, name) \
    BENCHMARK(function)->Name(name)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond)

MENU_BENCHMARK(rawReadOfTheNewestRecords, "raw read");
MENU_BENCHMARK(bestTimesView, "ﾀｲﾑ表示 (BEST表示)");
MENU_BENCHMARK((list<0, 2>), "ﾀｲﾑ表示 本日のみ");
MENU_BENCHMARK((list<0, 3>), "ﾀｲﾑ表示 オール表示 (1 month)");
MENU_BENCHMARK(periodOfAllRuns, "ﾀｲﾑ表示 オール表示 (今まで, Combo2)");
MENU_BENCHMARK(pointsView, "ﾎﾟｲﾝﾄ表示 (合計累計)");
MENU_BENCHMARK((list<1, 2>), "ﾎﾟｲﾝﾄ表示 合計本日");
MENU_BENCHMARK((list<1, 3>), "ﾎﾟｲﾝﾄ表示 すべて (1 month)");
MENU_BENCHMARK(personalView, "個人ﾀｲﾑ");
MENU_BENCHMARK(bandChange, "Combo1 小学生全体");

}  // namespace gaisan

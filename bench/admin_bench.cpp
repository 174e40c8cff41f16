// The teacher's administration at a school's scale, 20000 and 1000000 records: opening the
// records browser (roster, file and the first screen of lines, window code included), a delete
// (of the first record, the worst case, whose journal holds the whole file, and of the last), a
// write-back, and the distribution refresh after a key in the criteria editor (nothing appended,
// and one run appended), beside the raw read of the same bytes; and a key in the criteria
// editor's window itself, window code included: one that stays in its row and one that moves
// to the next row, whose level the distribution then shows.
// Run: QT_QPA_PLATFORM=offscreen build/bench/admin_bench

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

#include <map>
#include <memory>
#include <random>

#include "Succeeds.h"
#include "base/AppState.h"
#include "platform/FileBytes.h"
#include "platform/PosixRecordFile.h"
#include "rules/admin/Installation.h"
#include "rules/admin/ResultDistribution.h"
#include "stores/results/RecordsAdministration.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/RecordingMessageBoxes.h"
#include "support/TempFolder.h"
#include "windows/admin/AdminFlow.h"
#include "windows/admin/FrmData.h"
#include "windows/admin/FrmTimeData.h"

namespace gaisan {
namespace {

/// Whether a change was made.
bool isDone(const RecordsAdministration::Result& result) { return result && result->done(); }

constexpr int kStudents = 5000;
constexpr int kLevels = 24;

/// The demo data root with a results file of `records` runs, made once per size.
class School final : public AdminFlow {
public:
    explicit School(int records) {
        std::filesystem::copy(std::filesystem::path(GAISAN_DEMO_DIR) / "data", m_folder / "data",
                              std::filesystem::copy_options::recursive);
        m_state->locations.DataRoot = (m_folder / "data").string() + "/";
        m_state->locations.ProgramDataFolder = (m_folder / "data/gaisan").string() + "/";
        m_state->common.YearChangeMonth = 4;
        m_state->common.SchoolName = "さくら学習塾";
        m_state->common.SchoolCode = "12345";
        std::vector<RecordBytes> byLevel;
        for (int level = 1; level <= kLevels; ++level)
            byLevel.push_back(encodeRecord(testing::runRecord(1, level, 1)));
        std::mt19937 random(static_cast<unsigned>(records));
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(records) * ResultRecord::kSize);
        for (int i = 0; i < records; ++i) {
            const RecordBytes record = withStudentAndSeconds(
                byLevel[random() % kLevels], static_cast<std::int16_t>(1 + random() % kStudents),
                static_cast<std::int32_t>(20 + random() % 600));
            bytes.append(reinterpret_cast<const char*>(record.data()), record.size());
        }
        m_folder.writeBytes("data/gaisan/成績累積データ.dat", bytes);
    }

    Installation& installation() override { return m_installation; }
    const Clock& clock() const override { return m_clock; }
    MessageBoxes& boxes() override { return m_boxes; }
    void waitResponsively(int) override {}
    void backToMenu() override {}

    std::filesystem::path resultsFile() const {
        return m_folder / "data/gaisan/成績累積データ.dat";
    }

private:
    testing::TempFolder m_folder;
    std::unique_ptr<AppState> m_state = std::make_unique<AppState>();
    testing::FakeClock m_clock{{2026, 12, 10}, 10 * 3600.0};
    Installation m_installation{*m_state, m_clock};
    testing::RecordingMessageBoxes m_boxes;
};

School& schoolOf(int records) {
    static std::map<int, std::unique_ptr<School>> schools;
    auto& school = schools[records];
    if (!school) school = std::make_unique<School>(records);
    return *school;
}

void rawRead(benchmark::State& state) {
    School& school = schoolOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(readFileBytes(school.resultsFile(), std::size_t{1} << 32));
}

void openBrowser(benchmark::State& state) {
    School& school = schoolOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        FrmData browser(school);
        browser.resize(1024, 768);
        browser.Form_Load();
        browser.show();
        QCoreApplication::processEvents();
        auto* list = browser.findChild<QListView*>(QStringLiteral("List1"));
        benchmark::DoNotOptimize(list->model()->index(0, 0).data());
    }
}

/// A copy of a school's results file in a folder of its own, with no change history, and the
/// administration of it; made afresh outside the timing.
class AdministeredCopy {
    // Before the administration, which is made of them.
    testing::TempFolder m_folder;
    std::filesystem::path m_copy = m_folder / "成績累積データ.dat";
    PosixRecordFile m_file;
    const testing::FakeClock m_clock;

public:
    void copyFrom(School& school) {
        std::filesystem::copy_file(school.resultsFile(), m_copy,
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::remove(historyFileOf(m_copy));
    }
    std::uint64_t records() const {
        return std::filesystem::file_size(m_copy) / ResultRecord::kSize;
    }
    RecordsAdministration administration{m_file, m_copy, [](int) {}, m_clock};
};

/// Deletes record `first ? 1 : last` of a copy of the file.
void deleteRecord(benchmark::State& state, bool first) {
    School& school = schoolOf(static_cast<int>(state.range(0)));
    AdministeredCopy copy;
    for (auto _ : state) {
        state.PauseTiming();
        copy.copyFrom(school);
        const std::uint64_t number = first ? 1 : copy.records();
        state.ResumeTiming();
        if (!isDone(copy.administration.deleteRecord(number, [](auto) { return true; }))) {
            state.SkipWithError("the delete failed");
        }
    }
}

/// Puts record 1 back after its delete, which moves every record of a copy of the file up by one;
/// the delete is made outside the timing.
void undoDeleteFirst(benchmark::State& state) {
    School& school = schoolOf(static_cast<int>(state.range(0)));
    AdministeredCopy copy;
    for (auto _ : state) {
        state.PauseTiming();
        copy.copyFrom(school);
        if (!isDone(copy.administration.deleteRecord(1, [](auto) { return true; }))) {
            state.SkipWithError("the delete failed");
        }
        state.ResumeTiming();
        if (!isDone(copy.administration.undo(1, [](const HistoryEntry&) { return true; }))) {
            state.SkipWithError("the undo failed");
        }
    }
}

void deleteFirst(benchmark::State& state) { deleteRecord(state, true); }
void deleteLast(benchmark::State& state) { deleteRecord(state, false); }

void writeBack(benchmark::State& state) {
    School& school = schoolOf(static_cast<int>(state.range(0)));
    PosixRecordFile file;
    const testing::FakeClock clock;
    RecordsAdministration administration(
        file, school.resultsFile(), [](int) {}, clock);
    const std::uint64_t middle = static_cast<std::uint64_t>(state.range(0)) / 2;
    int seconds = 30;
    for (auto _ : state) {
        if (!isDone(administration.writeBack(
                middle, [](auto) { return true; }, std::nullopt, seconds++ % 600))) {
            state.SkipWithError("the write-back failed");
        }
    }
}

/// The first count, when the editor opens.
void distributionFirstCount(benchmark::State& state) {
    School& school = schoolOf(static_cast<int>(state.range(0)));
    PosixRecordFile file;
    for (auto _ : state) {
        ResultDistribution distribution;
        succeeds(distribution.refresh(file, school.resultsFile()), "distribution refresh");
        benchmark::DoNotOptimize(distribution.allResultsLines(1));
    }
}

/// A key in the editor: the refresh and both lists of the current level, with `appended` runs
/// appended since the last key.
void distributionKey(benchmark::State& state, int appended) {
    School& school = schoolOf(static_cast<int>(state.range(0)));
    testing::TempFolder folder;
    const auto copy = folder / "成績累積データ.dat";
    std::filesystem::copy_file(school.resultsFile(), copy);
    PosixRecordFile file;
    ResultDistribution distribution;
    succeeds(distribution.refresh(file, copy), "distribution refresh");
    const RecordBytes run = encodeRecord(testing::runRecord(7, 1, 77));
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < appended; ++i) testing::appendRecords(copy, {decodeRecord(run)});
        state.ResumeTiming();
        succeeds(distribution.refresh(file, copy), "distribution refresh");
        benchmark::DoNotOptimize(distribution.allResultsLines(1));
        benchmark::DoNotOptimize(distribution.bestTimeLines(1));
    }
}

void distributionKeyNothingNew(benchmark::State& state) { distributionKey(state, 0); }
void distributionKeyOneAppended(benchmark::State& state) { distributionKey(state, 1); }

/// Keys in the criteria editor's cell editor, taking turns: Right and Left stay in level 1's
/// row, Down and Up move between levels 1 and 2.
void editorKeys(benchmark::State& state, Qt::Key there, Qt::Key back) {
    School& school = schoolOf(static_cast<int>(state.range(0)));
    FrmTimeData editor(school);
    editor.resize(1024, 768);
    editor.Form_Load();
    editor.show();
    editor.Form_Activate();
    auto* input = editor.findChild<QLineEdit*>(QStringLiteral("Gridinputtext"));
    bool forth = true;
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, forth ? there : back, Qt::NoModifier);
        QApplication::sendEvent(input, &press);
        forth = !forth;
    }
}

void editorKeyInTheRow(benchmark::State& state) { editorKeys(state, Qt::Key_Right, Qt::Key_Left); }
void editorKeyToTheNextRow(benchmark::State& state) { editorKeys(state, Qt::Key_Down, Qt::Key_Up); }

#define ADMIN_BENCHMARK(function) \
    BENCHMARK(function)->Arg(20000)->Arg(1000000)->Unit(benchmark::kMillisecond)->MinTime(0.5)

ADMIN_BENCHMARK(rawRead);
ADMIN_BENCHMARK(openBrowser);
BENCHMARK(deleteFirst)->Arg(20000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(deleteLast)->Arg(20000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(undoDeleteFirst)->Arg(20000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);
ADMIN_BENCHMARK(writeBack);
ADMIN_BENCHMARK(distributionFirstCount);
ADMIN_BENCHMARK(distributionKeyNothingNew);
ADMIN_BENCHMARK(distributionKeyOneAppended);
ADMIN_BENCHMARK(editorKeyInTheRow);
ADMIN_BENCHMARK(editorKeyToTheNextRow);

}  // namespace
}  // namespace gaisan

// The files the program writes, byte for byte: the shared results file after runs, a delete and a
// write-back, the day's backup copy, and the criteria file after the editor's save. Other
// machines, older copies of the program and the suite's other programs read these files, so a
// change in how the code is arranged must never change a byte of them. In written-bytes/,
// results-before.dat and criteria-before.txt are the inputs; the other files are the bytes an
// earlier build of the program wrote from them by the same steps, and each test after the first
// starts from the file the one before it writes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "base/AppState.h"
#include "base/CountTables.h"
#include "base/CriteriaTable.h"
#include "base/ProgramProfile.h"
#include "platform/PosixRecordFile.h"
#include "rules/admin/CriteriaGrid.h"
#include "rules/admin/RecordSnapshot.h"
#include "rules/student/ResultsAccess.h"
#include "stores/installation/DataFolder.h"
#include "stores/results/RecordsAdministration.h"
#include "support/FakeClock.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

using testing::FakeClock;
using testing::readBytes;
using testing::TempFolder;

const std::filesystem::path kExpected = GAISAN_WRITTEN_BYTES_DIR;

/// Up to 16 bytes of `bytes` from `from`, in hex.
std::string hexFrom(const std::string& bytes, std::size_t from) {
    std::string text;
    for (std::size_t at = from; at < std::min(bytes.size(), from + 16); ++at) {
        char byte[4];
        std::snprintf(byte, sizeof byte, " %02x", static_cast<unsigned char>(bytes[at]));
        text += byte;
    }
    return text.empty() ? " (nothing)" : text;
}

/// Whether `written` holds exactly the bytes of the expected file `name`; when not, where the
/// first difference is, with the bytes from there on, and for a file of records which record and
/// which byte of it.
::testing::AssertionResult sameBytes(const std::string& name, const std::filesystem::path& written,
                                     std::size_t recordSize = 0) {
    if (!std::filesystem::is_regular_file(kExpected / name)) {
        return ::testing::AssertionFailure() << "no expected file " << kExpected / name;
    }
    if (!std::filesystem::is_regular_file(written)) {
        return ::testing::AssertionFailure() << written << " was not written";
    }
    const std::string expected = readBytes(kExpected / name);
    const std::string actual = readBytes(written);
    if (expected == actual) return ::testing::AssertionSuccess();

    const auto differing =
        std::mismatch(expected.begin(), expected.end(), actual.begin(), actual.end()).first;
    const auto at = static_cast<std::size_t>(differing - expected.begin());
    auto failure = ::testing::AssertionFailure();
    failure << written.filename() << " differs from " << name << " first at byte " << at;
    if (recordSize != 0) {
        failure << " (record " << at / recordSize + 1 << ", its byte " << at % recordSize << ")";
    }
    failure << "; lengths: expected " << expected.size() << ", written " << actual.size() << '\n'
            << "expected from byte " << at << ":" << hexFrom(expected, at) << '\n'
            << "written from byte  " << at << ":" << hexFrom(actual, at);
    return failure;
}

/// An installation's data root in a temporary folder, laid out by hand with the names the
/// suite's programs use, so that a file written under another name is a difference as well: the
/// school's settings, the criteria and (when a test starts from one) the results file.
class WrittenBytesTest : public ::testing::Test {
protected:
    WrittenBytesTest() {
        m_root.writeCp932("data/共通データ.txt",
                          "4\r\n31415ひまわり学習塾\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
        std::filesystem::create_directories(programData());
        std::filesystem::copy_file(kExpected / "criteria-before.txt", criteriaFile());
        m_state->locations = DataLocations::ofProgramDataFolder(m_root / "data/gaisan");
        EXPECT_TRUE(loadSettingsAndCriteria(*m_state));
        ApplyProfileLevels(m_state->profile);
    }

    std::filesystem::path programData() const { return m_root / "data/gaisan"; }
    std::filesystem::path resultsFile() const { return programData() / "成績累積データ.dat"; }
    std::filesystem::path criteriaFile() const { return programData() / "タイム回数データ.txt"; }

    void startResultsFrom(const std::string& name) const {
        std::filesystem::copy_file(kExpected / name, resultsFile());
    }

    /// Record `number` as the records browser holds it once the teacher has chosen it.
    RecordBytes chosenInBrowser(std::uint64_t number) {
        RecordSnapshot snapshot;
        EXPECT_TRUE(snapshot.load(m_file, m_state->locations.resultsFile()));
        return snapshot.recordBytes(number);
    }

    RecordsAdministration administration() {
        return RecordsAdministration(
            m_file, m_state->locations.resultsFile(), [](int) {}, m_clock);
    }

    TempFolder m_root;
    std::unique_ptr<AppState> m_state = std::make_unique<AppState>();
    PosixRecordFile m_file;
    FakeClock m_clock{{2026, 12, 10}, 11 * 3600.0};
};

TEST_F(WrittenBytesTest, FinishedAndTimedOutRunsAreAppendedAfterTheDaysBackup) {
    // Two records of yesterday, the second another machine's with odd text fields; the clock's
    // fraction of a second is not recorded.
    startResultsFrom("results-before.dat");
    FakeClock clock({2026, 12, 10}, 10 * 3600 + 15 * 60 + 30.75);
    ResultsAccess access(
        *m_state, m_file, clock, [](int) {}, [](const std::string&) {});
    ASSERT_TRUE(access.recount());

    m_state->login.StudentIndex = 7;
    m_state->run.RecordedTime = 57;
    ASSERT_TRUE(access.recordRun(1));
    clock.advanceSeconds(95);
    m_state->run.RecordedTime = kNoTime;
    ASSERT_TRUE(access.recordRun(2));

    EXPECT_TRUE(sameBytes("results-after-runs.dat", resultsFile(), ResultRecord::kSize));
    EXPECT_TRUE(sameBytes("results-before.dat",
                          programData() / "成績バックアップ/成績累積データ-2026-12-10.dat",
                          ResultRecord::kSize));
}

TEST_F(WrittenBytesTest, BrowserDeleteMovesTheLaterRecordsDownAndLeavesNoJournal) {
    startResultsFrom("results-after-runs.dat");

    const auto result =
        administration().deleteRecord(1, RecordsAdministration::isExactly(chosenInBrowser(1)));

    ASSERT_TRUE(result && result->done());
    EXPECT_TRUE(sameBytes("results-after-delete.dat", resultsFile(), ResultRecord::kSize));
    EXPECT_FALSE(std::filesystem::exists(programData() / "成績累積データtemp.dat"));
}

TEST_F(WrittenBytesTest, BrowserWriteBackChangesOnlyTheStudentAndTheTime) {
    // The other machine's record, whose text fields and spare bytes are not the program's own.
    startResultsFrom("results-after-delete.dat");

    const auto result =
        administration().writeBack(1, RecordsAdministration::isExactly(chosenInBrowser(1)), 12, 61);

    ASSERT_TRUE(result && result->done());
    EXPECT_TRUE(sameBytes("results-after-write-back.dat", resultsFile(), ResultRecord::kSize));
}

TEST_F(WrittenBytesTest, CriteriaEditorSavesTheWholeFileAfterOneCellChanged) {
    // The file before holds what the editor does not write itself: a title for the memo column,
    // a quoted rate, spaces around a number and no line end after the last line.
    CriteriaGrid grid;
    grid.load(readCriteriaFile(m_state->locations.criteriaFile()).value());
    grid.click(4, 1);
    grid.textToGrid("110");

    ASSERT_TRUE(writeCriteriaFile(m_state->locations.criteriaFile(), grid.lines(),
                                  m_state->profile.LevelCount));

    EXPECT_TRUE(sameBytes("criteria-after.txt", criteriaFile()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(programData()),
                            std::filesystem::directory_iterator()),
              1)
        << "the save left a file beside the criteria";
}

}  // namespace
}  // namespace gaisan

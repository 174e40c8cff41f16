#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/PosixRecordFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/InterruptedChange.h"
#include "stores/results/RecordsAdministration.h"
#include "support/ChangeOutcomes.h"
#include "support/ExpectedAssertions.h"
#include "support/FakeClock.h"
#include "support/HistoryFiles.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan::testing {

/// A results file in a folder of its own, the administration a teacher's changes to it go
/// through, and what the changes leave in the file and its history: the start of the tests of
/// the changes, their history and their undoing. The file starts empty.
class ResultsFileAdministration : public ::testing::Test {
public:
    static inline const EntryCheck kAnyEntry = [](const HistoryEntry&) { return true; };
    static inline const RecordCheck kAnyRecord = [](auto) { return true; };

    /// The run of `student` on level 1 in `student` × 10 seconds: the runs of different students
    /// are told apart by either.
    static ResultRecord run(int student) { return runRecord(student, 1, student * 10); }
    /// Appends the runs of students 1 to `count`, in that order.
    void appendRuns(int count) {
        std::vector<ResultRecord> runs;
        for (int student = 1; student <= count; ++student) runs.push_back(run(student));
        appendRecords(path(), runs);
    }

    std::filesystem::path path() const { return folder / "成績累積データ.dat"; }
    std::filesystem::path historyFile() const { return historyFileOf(path()); }
    /// The students of the file's records, in file order.
    std::vector<int> students() const {
        std::vector<int> found;
        for (const ResultRecord& record : recordsIn(path())) found.push_back(record.StudentIndex);
        return found;
    }
    /// The entries of the file's change history, oldest first.
    std::vector<HistoryEntry> history() const { return historyEntriesOf(path()); }

    void remove(std::uint64_t number) {
        ASSERT_EQ(outcomeOf(administration.deleteRecord(number, kAnyRecord)), ChangeSeen::Done);
    }
    void setStudent(std::uint64_t number, int student) {
        ASSERT_EQ(outcomeOf(administration.writeBack(number, kAnyRecord, student, std::nullopt)),
                  ChangeSeen::Done);
    }
    void undo(std::uint64_t entry) {
        const auto result = administration.undo(entry, kAnyEntry);
        ASSERT_EQ(outcomeOf(result), ChangeSeen::Done) << whyOf(result);
    }
    /// What the next writer does: takes the lock and finishes what was cut short, leaving no
    /// change pending. Returns what it found.
    InterruptedMove nextWriter() const {
        PosixRecordFile lockedFile;
        InterruptedMove found;
        EXPECT_TRUE(succeeded(lockedFile.open(path())));
        EXPECT_TRUE(succeeded(lockedFile.lockForAppend()));
        EXPECT_TRUE(succeeded(recoverInterruptedChange(lockedFile, path(), found)));
        lockedFile.close();
        EXPECT_FALSE(std::filesystem::exists(pendingChangeFileOf(path())));
        return found;
    }

    TempFolder folder;
    FakeClock clock{{2026, 12, 10}, 36000};
    PosixRecordFile file;
    RecordsAdministration administration{file, path(), [](int) {}, clock};
};

/// The runs of students 1 to 5, each on level 1 in ten times its number of seconds.
class FiveRunsAdministration : public ResultsFileAdministration {
public:
    FiveRunsAdministration() {
        appendRuns(5);
        original = readBytes(path());
    }

    /// The five runs' file as it started.
    std::string original;
};

}  // namespace gaisan::testing

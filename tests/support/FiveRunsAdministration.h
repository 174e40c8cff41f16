#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#include "platform/PosixRecordFile.h"
#include "stores/results/RecordsAdministration.h"
#include "support/ChangeOutcomes.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan::testing {

/// A results file of five runs, students 1 to 5, in a folder of its own, and the administration
/// a teacher's changes to it go through: the start of the tests of undo and of a damaged history.
class FiveRunsAdministration : public ::testing::Test {
public:
    static inline const EntryCheck kAnyEntry = [](const HistoryEntry&) { return true; };
    static inline const RecordCheck kAnyRecord = [](auto) { return true; };

    FiveRunsAdministration() { appendRecords(path(), {run(1), run(2), run(3), run(4), run(5)}); }

    static ResultRecord run(int student) { return runRecord(student, 1, student * 10); }
    std::filesystem::path path() const { return folder / "成績累積データ.dat"; }
    /// The students of the file's records, in file order.
    std::vector<int> students() const {
        std::vector<int> found;
        for (const ResultRecord& record : recordsIn(path())) found.push_back(record.StudentIndex);
        return found;
    }
    void setStudent(std::uint64_t number, int student) {
        ASSERT_EQ(outcomeOf(administration.writeBack(number, kAnyRecord, student, std::nullopt)),
                  ChangeSeen::Done);
    }
    void undo(std::uint64_t entry) {
        const auto result = administration.undo(entry, kAnyEntry);
        ASSERT_EQ(outcomeOf(result), ChangeSeen::Done) << whyOf(result);
    }

    TempFolder folder;
    FakeClock clock{{2026, 12, 10}, 36000};
    PosixRecordFile file;
    RecordsAdministration administration{file, path(), [](int) {}, clock};
};

}  // namespace gaisan::testing

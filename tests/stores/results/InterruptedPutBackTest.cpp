#include "stores/results/InsertJournal.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/DurableFile.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/InterruptedChange.h"
#include "support/ExpectedAssertions.h"
#include "support/RecordFiles.h"
#include "support/ResultsFileAdministration.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// The five runs' file and an undo's put-back that a crash cut short.
using Undo = testing::FiveRunsAdministration;

/// The states a crash leaves between the steps of a put-back, and what the next writer makes of
/// them: the record back with its entry, or neither, and every run once.
TEST_F(Undo, TheNextWriterFinishesAPutBackWithItsEntryOrLeavesBothOut) {
    // Record 2 was deleted; it goes back in front of the runs of students 3, 4 and 5.
    remove(2);
    std::filesystem::remove(historyFileOf(path()));
    const std::string afterDelete = testing::readBytes(path());
    HistoryEntry putBack = historyEntryFor(HistoryEntry::Kind::PutBack, 2, 4, clock.now());
    putBack.after = encodeRecord(run(2));
    putBack.undoes = 1;
    InsertJournal journal;
    journal.recordNumber = 2;
    journal.recordsBefore = 4;
    journal.record = putBack.after;
    for (int student : {3, 4, 5}) {
        const RecordBytes bytes = encodeRecord(run(student));
        journal.oldRecords.insert(journal.oldRecords.end(), bytes.begin(), bytes.end());
    }
    const auto records = [](std::initializer_list<int> students) {
        std::string bytes;
        for (int student : students) {
            const RecordBytes record = encodeRecord(run(student));
            bytes.append(reinterpret_cast<const char*>(record.data()), record.size());
        }
        return bytes;
    };
    using Finding = InterruptedMove::Finding;
    const struct {
        const char* crash;
        bool journalThere;
        bool entryAppended;
        bool pendingThere;  ///< false: an older version removed it, unable to read it
        std::string file;
        std::vector<int> students;
        std::size_t entries;
        Finding finding;
    } cases[] = {
        {"before its journal", false, false, true, afterDelete, {1, 3, 4, 5}, 0, Finding::None},
        {"after its journal",
         true,
         false,
         true,
         afterDelete,
         {1, 2, 3, 4, 5},
         1,
         Finding::Completed},
        {"after its entry", true, true, true, afterDelete, {1, 2, 3, 4, 5}, 1, Finding::Completed},
        {"with the file grown",
         true,
         true,
         true,
         records({1, 3, 4, 5, 5}),
         {1, 2, 3, 4, 5},
         1,
         Finding::Completed},
        {"with the file grown by part of a record",
         true,
         true,
         true,
         records({1, 3, 4, 5}) + records({5}).substr(0, 30),
         {1, 2, 3, 4, 5},
         1,
         Finding::Completed},
        {"with the file grown by a record a power cut left zero",
         true,
         true,
         true,
         records({1, 3, 4, 5}) + std::string(44, '\0'),
         {1, 2, 3, 4, 5},
         1,
         Finding::Completed},
        {"with the moves written, not the record",
         true,
         true,
         true,
         records({1, 3, 3, 4, 5}),
         {1, 2, 3, 4, 5},
         1,
         Finding::Completed},
        {"with everything written",
         true,
         true,
         true,
         original,
         {1, 2, 3, 4, 5},
         1,
         Finding::AlreadyComplete},
        {"before the file grew, a run appended by a machine that did not see the journal",
         true,
         true,
         true,
         records({1, 3, 4, 5, 9}),
         {1, 2, 3, 4, 5, 9},
         1,
         Finding::Completed},
        {"after the file grew, a run appended by a machine that did not see the journal",
         true,
         true,
         true,
         records({1, 3, 4, 5, 5, 9}),
         {1, 2, 3, 4, 5, 9},
         1,
         Finding::Completed},
        {"after its entry and some moves, the pending change removed",
         true,
         true,
         false,
         records({1, 3, 3, 4, 5}),
         {1, 2, 3, 4, 5},
         1,
         Finding::Completed},
        {"after its journal, the pending change removed",
         true,
         false,
         false,
         afterDelete,
         {1, 3, 4, 5},
         0,
         Finding::NotMatching},
        {"and the file restored from a copy since",
         true,
         false,
         true,
         records({1, 7, 8, 9}),
         {1, 7, 8, 9},
         0,
         Finding::NotMatching},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.crash);
        std::ofstream(path(), std::ios::binary | std::ios::trunc) << c.file;
        std::filesystem::remove(historyFileOf(path()));
        std::filesystem::remove(pendingChangeFileOf(path()));
        if (c.pendingThere) {
            ASSERT_TRUE(testing::succeeded(
                writeFileDurably(pendingChangeFileOf(path()), encodeHistoryEntry(putBack))));
        }
        if (c.journalThere) {
            ASSERT_TRUE(testing::succeeded(
                writeFileDurably(insertJournalPathOf(path()), journal.encode())));
        }
        if (c.entryAppended) {
            PosixRecordFile historyFile;
            ASSERT_TRUE(testing::succeeded(
                appendHistoryEntry(historyFile, historyFileOf(path()), putBack)));
        }
        EXPECT_EQ(nextWriter().finding, c.finding);
        EXPECT_EQ(students(), c.students);
        EXPECT_EQ(history().size(), c.entries);
        EXPECT_FALSE(std::filesystem::exists(insertJournalPathOf(path())));
        EXPECT_FALSE(std::filesystem::exists(pendingChangeFileOf(path())));
    }
}

TEST(InsertJournal, IsReadBackAsWrittenAndNeverWhenDamagedOrCutShort) {
    InsertJournal journal;
    journal.recordNumber = 2;
    journal.recordsBefore = 3;
    journal.record = encodeRecord(testing::runRecord(2, 1, 20));
    for (int student : {3, 4}) {
        const RecordBytes bytes = encodeRecord(testing::runRecord(student, 1, 30));
        journal.oldRecords.insert(journal.oldRecords.end(), bytes.begin(), bytes.end());
    }
    const std::vector<std::byte> bytes = journal.encode();
    ASSERT_EQ(bytes.size(), 24u + 44u + 88u + 8u);
    const auto decoded = InsertJournal::decode(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->record, journal.record);
    EXPECT_EQ(decoded->oldRecords, journal.oldRecords);
    for (std::size_t at : {std::size_t{0}, std::size_t{9}, std::size_t{17}, std::size_t{40},
                           std::size_t{100}, bytes.size() - 1}) {
        std::vector<std::byte> damaged = bytes;
        damaged[at] ^= std::byte{0x10};
        EXPECT_FALSE(InsertJournal::decode(damaged)) << "byte " << at;
    }
    EXPECT_FALSE(InsertJournal::decode(std::span(bytes).first(bytes.size() - 44)));
    // Putting the last record back moves nothing: a journal without old records.
    journal.recordNumber = 4;
    journal.oldRecords.clear();
    EXPECT_TRUE(InsertJournal::decode(journal.encode()));
}

}  // namespace
}  // namespace gaisan

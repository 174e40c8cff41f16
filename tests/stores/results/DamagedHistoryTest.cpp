#include "stores/results/DamagedHistory.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <fstream>

#include "platform/DurableFile.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/DeleteJournal.h"
#include "stores/results/RecordsAdministration.h"
#include "support/ChangeOutcomes.h"
#include "support/ExpectedAssertions.h"
#include "support/HistoryFiles.h"
#include "support/RecordFiles.h"
#include "support/ResultsFileAdministration.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// The five runs' file, a teacher's changes to it and a history that damage reaches.
class DamagedHistory : public testing::FiveRunsAdministration {
protected:
    /// Entry `number` damaged as a bad sector leaves it: one byte changed.
    void damageEntry(std::uint64_t number) const {
        std::fstream file(historyFile(), std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(static_cast<std::streamoff>((number - 1) * HistoryEntry::kSize + 100));
        file.put('?');
    }
    RecordsAdministration::Result mend() { return administration.setAsideDamagedHistory(found); }

    HistoryMend found;
};

TEST_F(DamagedHistory, AHistoryGrownByZerosKeepsItsEntriesAsideAndUndoWorksAgain) {
    setStudent(2, 7);
    ASSERT_EQ(testing::outcomeOf(administration.deleteRecord(4, kAnyRecord)),
              testing::ChangeSeen::Done);
    const std::vector<HistoryEntry> entries = testing::historyEntriesOf(path());
    ::chmod(historyFile().c_str(), 0666);
    std::filesystem::resize_file(historyFile(), (kMostHistoryEntries + 10) * HistoryEntry::kSize);
    const std::string damaged = testing::readBytes(historyFile());

    EXPECT_EQ(testing::outcomeOf(administration.undo(2, kAnyEntry)), testing::ChangeSeen::Blocked)
        << "a damaged later entry may have moved the record";
    EXPECT_EQ(testing::outcomeOf(administration.deleteRecord(1, kAnyRecord)),
              testing::ChangeSeen::Failed)
        << "the history takes no more";

    const auto result = mend();
    ASSERT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Done) << testing::whyOf(result);
    EXPECT_EQ(found.wholeEntries, 2u);
    EXPECT_EQ(found.damagedEntries, kMostHistoryEntries + 8);
    EXPECT_FALSE(found.renumbers);
    EXPECT_EQ(found.setAsideAs, folder / "成績変更履歴-直す前.dat");
    EXPECT_EQ(testing::readBytes(found.setAsideAs), damaged) << "kept as it was";
    EXPECT_EQ(testing::historyEntriesOf(path()), entries);
    struct stat status {};
    ASSERT_EQ(::stat(historyFile().c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0666u) << "as writable by the next user as before";

    undo(2);
    EXPECT_EQ(students(), (std::vector{1, 7, 3, 4, 5}));
    undo(1);
    EXPECT_EQ(students(), (std::vector{1, 2, 3, 4, 5}));
    ASSERT_EQ(testing::outcomeOf(mend()), testing::ChangeSeen::Done);
    EXPECT_TRUE(found.setAsideAs.empty()) << "nothing damaged, nothing changed";
    EXPECT_FALSE(std::filesystem::exists(folder / "成績変更履歴-直す前2.dat"));
}

TEST_F(DamagedHistory, EntriesAfterTheDamageMoveUpAndAnUndoStillNamesWhatItTookBack) {
    setStudent(1, 11);  // 1, damaged below
    setStudent(2, 12);  // 2
    undo(1);            // 3, takes back 1
    undo(2);            // 4, takes back 2
    setStudent(3, 13);  // 5
    damageEntry(1);
    std::ofstream(historyFile(), std::ios::binary | std::ios::app) << "torn";

    ASSERT_EQ(testing::outcomeOf(mend()), testing::ChangeSeen::Done);
    EXPECT_EQ(found.wholeEntries, 4u);
    EXPECT_EQ(found.damagedEntries, 1u);
    EXPECT_EQ(found.partialBytes, 4u);
    EXPECT_TRUE(found.renumbers);
    const std::vector<HistoryEntry> entries = testing::historyEntriesOf(path());
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(decodeRecord(entries[0].after).StudentIndex, 12);
    EXPECT_EQ(entries[1].undoes, 0u) << "what it took back is set aside";
    EXPECT_EQ(entries[2].undoes, 1u) << "the write-back of record 2, now entry 1";
    EXPECT_EQ(decodeRecord(entries[3].after).StudentIndex, 13);

    const auto twice = administration.undo(1, kAnyEntry);
    EXPECT_EQ(testing::outcomeOf(twice), testing::ChangeSeen::Blocked);
    EXPECT_NE(testing::whyOf(twice).find("変更3でもう元に戻してあります"), std::string::npos)
        << testing::whyOf(twice);
    undo(4);
    EXPECT_EQ(students(), (std::vector{1, 2, 3, 4, 5}));
}

/// A delete of record 2 cut short after its journal, waiting for a history that takes no more
/// entries: set aside, the damage lets it be finished, unless whole entries would move up under
/// the numbers its entry was made with.
TEST_F(DamagedHistory, AChangeWaitingForAFullHistoryIsFinishedOnceItsDamageIsSetAside) {
    setStudent(1, 11);
    setStudent(3, 13);
    const HistoryEntry second = testing::historyEntriesOf(path()).at(1);
    HistoryEntry deletion = historyEntryFor(HistoryEntry::Kind::Delete, 2, 5, clock.now());
    deletion.before = encodeRecord(run(2));
    DeleteJournal journal;
    journal.recordNumber = 2;
    journal.recordsBefore = 5;
    for (int student : {2, 13, 4, 5}) {
        const RecordBytes bytes =
            encodeRecord(student == 13 ? testing::runRecord(13, 1, 30) : run(student));
        journal.oldRecords.insert(journal.oldRecords.end(), bytes.begin(), bytes.end());
    }
    const std::string results = testing::readBytes(path());
    const std::string sound = testing::readBytes(historyFile());
    for (const bool damageBetween : {true, false}) {
        std::ofstream(path(), std::ios::binary | std::ios::trunc) << results;
        std::ofstream(historyFile(), std::ios::binary | std::ios::trunc) << sound;
        std::filesystem::remove(folder / "成績変更履歴-直す前.dat");
        if (damageBetween) damageEntry(1);
        std::filesystem::resize_file(historyFile(),
                                     (kMostHistoryEntries + 1) * HistoryEntry::kSize);
        ASSERT_TRUE(testing::succeeded(
            writeFileDurably(pendingChangeFileOf(path()), encodeHistoryEntry(deletion))));
        ASSERT_TRUE(
            testing::succeeded(writeFileDurably(deleteJournalPathOf(path()), journal.encode())));
        EXPECT_EQ(testing::outcomeOf(administration.deleteRecord(1, kAnyRecord)),
                  testing::ChangeSeen::Failed);
        EXPECT_EQ(students(), (std::vector{11, 2, 13, 4, 5})) << "the delete waits";

        const auto result = mend();
        if (damageBetween) {
            EXPECT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Blocked);
            EXPECT_NE(testing::whyOf(result).find("成績変更履歴temp.dat"), std::string::npos)
                << testing::whyOf(result);
            EXPECT_TRUE(found.setAsideAs.empty());
            EXPECT_FALSE(std::filesystem::exists(folder / "成績変更履歴-直す前.dat"));
            EXPECT_EQ(std::filesystem::file_size(historyFile()),
                      (kMostHistoryEntries + 1) * HistoryEntry::kSize);
            continue;
        }
        ASSERT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Done) << testing::whyOf(result);
        EXPECT_EQ(found.wholeEntries, 2u);
        // The next writer finishes the delete, its entry now in the history.
        ASSERT_EQ(testing::outcomeOf(administration.recoverInterruptedChange()),
                  testing::ChangeSeen::Done);
        EXPECT_EQ(students(), (std::vector{11, 13, 4, 5}));
        const std::vector<HistoryEntry> entries = testing::historyEntriesOf(path());
        ASSERT_EQ(entries.size(), 3u);
        EXPECT_EQ(entries[1], second);
        EXPECT_EQ(entries[2], deletion);
        EXPECT_FALSE(std::filesystem::exists(pendingChangeFileOf(path())));
    }
}

}  // namespace
}  // namespace gaisan

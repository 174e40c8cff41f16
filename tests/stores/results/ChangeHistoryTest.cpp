#include "stores/results/ChangeHistory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "platform/DurableFile.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/DeleteJournal.h"
#include "stores/results/InterruptedChange.h"
#include "stores/results/RecordsAdministration.h"
#include "stores/results/ResultsFile.h"
#include "support/ChangeOutcomes.h"
#include "support/ExpectedAssertions.h"
#include "support/RecordFiles.h"
#include "support/ResultsFileAdministration.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

HistoryEntry sampleEntry() {
    HistoryEntry entry;
    entry.kind = HistoryEntry::Kind::WriteBack;
    entry.date = 46366;
    entry.clock = 0.5;
    entry.recordNumber = 12;
    entry.recordsBefore = 40;
    entry.host = "classroom-3";
    entry.user = "先生";
    entry.before = encodeRecord(testing::runRecord(7, 1, 50));
    entry.after = encodeRecord(testing::runRecord(8, 1, 50));
    return entry;
}

TEST(ChangeHistory, AnEntryIsReadBackAsWrittenAndNeverFromBytesThatAreNotOne) {
    const HistoryBytes bytes = encodeHistoryEntry(sampleEntry());
    EXPECT_EQ(decodeHistoryEntry(bytes), sampleEntry());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 4), "GHS1");
    EXPECT_EQ(static_cast<int>(bytes[4]), 2);
    std::uint64_t number = 0;
    std::memcpy(&number, bytes.data() + 24, sizeof number);
    EXPECT_EQ(number, 12u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 40)), "classroom-3");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 104)), "先生");
    for (std::size_t at : {0u, 4u, 30u, 150u, 250u}) {
        HistoryBytes damaged = bytes;
        damaged[at] ^= std::byte{0x04};
        EXPECT_FALSE(decodeHistoryEntry(damaged)) << "byte " << at << " changed";
    }
    // A host name longer than its field is cut whole characters short of it.
    HistoryEntry longHost = sampleEntry();
    longHost.host = std::string(63, 'x') + "界";
    EXPECT_EQ(decodeHistoryEntry(encodeHistoryEntry(longHost))->host, std::string(63, 'x'));
}

TEST(ChangeHistory, EntriesAreNumberedInOrderAndAppendedAfterWhatACrashLeft) {
    testing::TempFolder folder;
    const auto history = folder / "成績変更履歴.dat";
    PosixRecordFile file;
    HistoryEntry first = sampleEntry();
    HistoryEntry second = sampleEntry();
    second.recordNumber = 13;
    ASSERT_TRUE(testing::succeeded(appendHistoryEntry(file, history, first)));
    std::ofstream(history, std::ios::binary | std::ios::app) << "torn";
    ASSERT_TRUE(testing::succeeded(appendHistoryEntry(file, history, second)));
    EXPECT_EQ(std::filesystem::file_size(history), 2 * HistoryEntry::kSize);

    std::vector<std::pair<std::uint64_t, std::uint64_t>> read;
    ASSERT_TRUE(testing::succeeded(readHistory(
        file, history, [&](std::uint64_t number, const std::optional<HistoryEntry>& entry) {
            read.emplace_back(number, entry ? entry->recordNumber : 0);
        })));
    EXPECT_EQ(read, (std::vector<std::pair<std::uint64_t, std::uint64_t>>{{1, 12}, {2, 13}}));
    const Expected<std::optional<HistoryEntry>> newest = newestHistoryEntry(file, history);
    ASSERT_TRUE(testing::succeeded(newest));
    EXPECT_EQ(*newest, second);
}

/// A history file of `pieces` one after another: "W" a whole entry (sampleEntry with the piece's
/// number as its record), "D" 256 bytes of zeros, anything else as it is.
std::filesystem::path historyOf(const testing::TempFolder& folder,
                                const std::vector<std::string>& pieces) {
    std::string bytes;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i] == "W") {
            HistoryEntry entry = sampleEntry();
            entry.recordNumber = i + 1;
            const HistoryBytes whole = encodeHistoryEntry(entry);
            bytes.append(reinterpret_cast<const char*>(whole.data()), whole.size());
        } else if (pieces[i] == "D") {
            bytes.append(HistoryEntry::kSize, '\0');
        } else {
            bytes += pieces[i];
        }
    }
    return folder.writeBytes("成績変更履歴.dat", bytes);
}

TEST(ChangeHistory, EachRunOfDamagedEntriesIsToldOnceInItsPlace) {
    testing::TempFolder folder;
    const auto history = historyOf(folder, {"W", "D", "D", "W", "D", "W", "D", "D", "D", "torn"});
    PosixRecordFile file;
    std::vector<std::string> told;
    ASSERT_TRUE(testing::succeeded(readHistoryInRuns(
        file, history,
        [&](std::uint64_t number, const HistoryEntry& entry) {
            told.push_back(std::to_string(number) + "=" + std::to_string(entry.recordNumber));
        },
        [&](std::uint64_t first, std::uint64_t last) {
            told.push_back(std::to_string(first) + "-" + std::to_string(last));
        })));
    EXPECT_EQ(told, (std::vector<std::string>{"1=1", "2-3", "4=4", "5-5", "6=6", "7-9"}));
}

TEST(ChangeHistory, AFullHistoryTakesNoMoreEntriesAndSaysHowToMendIt) {
    testing::TempFolder folder;
    const auto history = folder.writeBytes("成績変更履歴.dat", "");
    // Zeros, as a history grown by damage holds them: only the length counts here.
    std::filesystem::resize_file(history, (kMostHistoryEntries - 1) * HistoryEntry::kSize);
    PosixRecordFile file;
    ASSERT_TRUE(testing::succeeded(appendHistoryEntry(file, history, sampleEntry())));
    const auto refused = appendHistoryEntry(file, history, sampleEntry());
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().problem.find("上限の65536件"), std::string::npos);
    EXPECT_NE(refused.error().problem.find("--set-aside-damaged"), std::string::npos);
    EXPECT_EQ(std::filesystem::file_size(history), kMostHistoryEntries * HistoryEntry::kSize);
}

TEST(ChangeHistory, DamageThatShowsWithoutReadingTheHistoryThrough) {
    const struct {
        const char* history;
        std::vector<std::string> pieces;
        std::optional<std::string> damage;
    } cases[] = {
        {"sound", {"W", "W", "W"}, std::nullopt},
        {"damaged only inside", {"W", "D", "W"}, std::nullopt},
        {"a write cut short at the end", {"W", "W", "torn"}, std::nullopt},
        {"grown by zeros", {"W", "W", "D"}, "最後の変更が壊れている"},
        {"damaged from the start", {"D", "W"}, "最初の変更から壊れている"},
        {"one damaged entry", {"D"}, "最初の変更から壊れている"},
    };
    for (const auto& c : cases) {
        testing::TempFolder folder;
        const auto history = historyOf(folder, c.pieces);
        PosixRecordFile file;
        ASSERT_TRUE(testing::succeeded(file.openForReading(history)));
        EXPECT_EQ(visibleHistoryDamage(file, std::filesystem::file_size(history)), c.damage)
            << c.history;
        file.close();
    }
    testing::TempFolder folder;
    const auto pastTheLimit = historyOf(folder, {"W"});
    std::filesystem::resize_file(pastTheLimit, (kMostHistoryEntries + 1) * HistoryEntry::kSize);
    PosixRecordFile file;
    ASSERT_TRUE(testing::succeeded(file.openForReading(pastTheLimit)));
    EXPECT_EQ(visibleHistoryDamage(file, std::filesystem::file_size(pastTheLimit)),
              "上限の65536件より大きくなっている");
}

/// A results file of three runs, a teacher's changes to it and the states a crash can leave.
class TeachersChanges : public testing::ResultsFileAdministration {
protected:
    TeachersChanges() { appendRuns(3); }
    RecordCheck chosen(int student, int seconds) const {
        return RecordsAdministration::isExactly(
            encodeRecord(testing::runRecord(student, 1, seconds)));
    }
};

TEST_F(TeachersChanges, EachChangeIsInTheHistoryWithItsRecordBeforeAndAfter) {
    ASSERT_EQ(testing::outcomeOf(administration.writeBack(2, chosen(2, 20), 5, std::nullopt)),
              testing::ChangeSeen::Done);
    ASSERT_EQ(testing::outcomeOf(administration.deleteRecord(1, chosen(1, 10))),
              testing::ChangeSeen::Done);
    EXPECT_EQ(students(), (std::vector{5, 3}));
    EXPECT_FALSE(std::filesystem::exists(pendingChangeFileOf(path())));

    const std::vector<HistoryEntry> entries = history();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].kind, HistoryEntry::Kind::WriteBack);
    EXPECT_EQ(entries[0].recordNumber, 2u);
    EXPECT_EQ(entries[0].recordsBefore, 3u);
    EXPECT_EQ(decodeRecord(entries[0].before).StudentIndex, 2);
    EXPECT_EQ(decodeRecord(entries[0].after).StudentIndex, 5);
    EXPECT_EQ(entries[0].date, daySerial({2026, 12, 10}));
    EXPECT_EQ(entries[0].clock, 36000 / 86400.0);
    EXPECT_FALSE(entries[0].host.empty());
    EXPECT_FALSE(entries[0].user.empty());
    EXPECT_EQ(entries[1].kind, HistoryEntry::Kind::Delete);
    EXPECT_EQ(decodeRecord(entries[1].before).StudentIndex, 1);
    EXPECT_EQ(entries[1].after, RecordBytes{});
}

TEST_F(TeachersChanges, AChangeTheHistoryCannotTellOfIsNotMade) {
    // A folder where the history file should be: nobody can append to it.
    std::filesystem::create_directory(historyFileOf(path()));
    const auto deleted = administration.deleteRecord(1, chosen(1, 10));
    EXPECT_EQ(testing::outcomeOf(deleted), testing::ChangeSeen::Failed);
    ASSERT_FALSE(deleted);
    EXPECT_NE(deleted.error().problem.find("成績変更履歴.dat"), std::string::npos);
    EXPECT_EQ(testing::outcomeOf(administration.writeBack(2, chosen(2, 20), 5, std::nullopt)),
              testing::ChangeSeen::Failed);
    EXPECT_EQ(students(), (std::vector{1, 2, 3}));
    EXPECT_FALSE(std::filesystem::exists(pendingChangeFileOf(path())));
    EXPECT_FALSE(std::filesystem::exists(deleteJournalPathOf(path())));
}

/// The states a crash leaves between the steps of a change, and what the next writer makes of
/// them: the change and its entry together, or neither.
TEST_F(TeachersChanges, TheNextWriterFinishesAChangeWithItsEntryOrLeavesBothOut) {
    const RecordBytes second = encodeRecord(testing::runRecord(2, 1, 20));
    const RecordBytes moved = encodeRecord(testing::runRecord(5, 1, 20));
    HistoryEntry writeBack = historyEntryFor(HistoryEntry::Kind::WriteBack, 2, 3, clock.now());
    writeBack.before = second;
    writeBack.after = moved;
    HistoryEntry deletion = historyEntryFor(HistoryEntry::Kind::Delete, 2, 3, clock.now());
    deletion.before = second;
    DeleteJournal journal;
    journal.recordNumber = 2;
    journal.recordsBefore = 3;
    for (const ResultRecord& record :
         {testing::runRecord(2, 1, 20), testing::runRecord(3, 1, 30)}) {
        const RecordBytes bytes = encodeRecord(record);
        journal.oldRecords.insert(journal.oldRecords.end(), bytes.begin(), bytes.end());
    }
    const std::string original = testing::readBytes(path());

    // Another program's delete of record 1, cut short with its journal whole.
    DeleteJournal another;
    another.recordNumber = 1;
    another.recordsBefore = 3;
    for (int student : {1, 2, 3}) {
        const RecordBytes bytes = encodeRecord(testing::runRecord(student, 1, student * 10));
        another.oldRecords.insert(another.oldRecords.end(), bytes.begin(), bytes.end());
    }
    const struct {
        const char* crash;
        const HistoryEntry* pending;
        const DeleteJournal* journal;
        bool entryAppended;
        bool recordHalfWritten;
        std::vector<int> students;
        std::size_t entries;
    } cases[] = {
        {"a write-back before its entry", &writeBack, nullptr, false, false, {1, 2, 3}, 0},
        {"a write-back after its entry", &writeBack, nullptr, true, false, {1, 5, 3}, 1},
        {"a write-back cut at a page boundary", &writeBack, nullptr, true, true, {1, 5, 3}, 1},
        {"a delete before its journal", &deletion, nullptr, false, false, {1, 2, 3}, 0},
        {"a delete after its journal", &deletion, &journal, false, false, {1, 3}, 1},
        {"a delete after its entry", &deletion, &journal, true, false, {1, 3}, 1},
        {"a delete before its journal, another's journal there",
         &deletion,
         &another,
         false,
         false,
         {2, 3},
         0},
    };
    for (const auto& c : cases) {
        std::ofstream(path(), std::ios::binary | std::ios::trunc) << original;
        std::filesystem::remove(historyFileOf(path()));
        ASSERT_TRUE(testing::succeeded(
            writeFileDurably(pendingChangeFileOf(path()), encodeHistoryEntry(*c.pending))));
        if (c.journal) {
            ASSERT_TRUE(testing::succeeded(
                writeFileDurably(deleteJournalPathOf(path()), c.journal->encode())));
        }
        if (c.recordHalfWritten) {
            // The new student reached the disk, the rest of the record did not.
            std::fstream file(path(), std::ios::binary | std::ios::in | std::ios::out);
            file.seekp(ResultRecord::kSize + 16);
            file.write(reinterpret_cast<const char*>(moved.data() + 16), 2);
        }
        if (c.entryAppended) {
            PosixRecordFile historyFile;
            ASSERT_TRUE(testing::succeeded(
                appendHistoryEntry(historyFile, historyFileOf(path()), *c.pending)));
        }
        nextWriter();
        EXPECT_EQ(students(), c.students) << c.crash;
        EXPECT_EQ(history().size(), c.entries) << c.crash;
    }
}

TEST_F(TeachersChanges, ADeleteWaitingForItsHistoryNeverStopsAChildsRun) {
    HistoryEntry deletion = historyEntryFor(HistoryEntry::Kind::Delete, 2, 3, clock.now());
    deletion.before = encodeRecord(testing::runRecord(2, 1, 20));
    DeleteJournal journal;
    journal.recordNumber = 2;
    journal.recordsBefore = 3;
    for (int student : {2, 3}) {
        const RecordBytes bytes = encodeRecord(testing::runRecord(student, 1, student * 10));
        journal.oldRecords.insert(journal.oldRecords.end(), bytes.begin(), bytes.end());
    }
    ASSERT_TRUE(testing::succeeded(
        writeFileDurably(pendingChangeFileOf(path()), encodeHistoryEntry(deletion))));
    ASSERT_TRUE(
        testing::succeeded(writeFileDurably(deleteJournalPathOf(path()), journal.encode())));
    std::filesystem::create_directory(historyFileOf(path()));  // nobody can write it

    PosixRecordFile childsFile;
    ResultsFile results(childsFile, path(), clock, [](int) {});
    ASSERT_TRUE(testing::succeeded(results.AppendResultRecord({9, 1, 90, std::nullopt})));
    EXPECT_EQ(students(), (std::vector{1, 2, 3, 9})) << "the run is recorded, the delete waits";
    const auto refused = administration.deleteRecord(1, chosen(1, 10));
    EXPECT_EQ(testing::outcomeOf(refused), testing::ChangeSeen::Failed);
    EXPECT_EQ(students(), (std::vector{1, 2, 3, 9})) << "no change over one that waits";

    std::filesystem::remove(historyFileOf(path()));
    nextWriter();
    EXPECT_EQ(students(), (std::vector{1, 3, 9})) << "the delete with the run added meanwhile";
    ASSERT_EQ(history().size(), 1u);
    EXPECT_EQ(history()[0], deletion);
    EXPECT_FALSE(std::filesystem::exists(deleteJournalPathOf(path())));
}

}  // namespace
}  // namespace gaisan

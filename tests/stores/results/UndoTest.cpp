#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "platform/PosixRecordFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/InsertJournal.h"
#include "stores/results/InterruptedChange.h"
#include "support/ChangeOutcomes.h"
#include "support/ExpectedAssertions.h"
#include "support/RecordFiles.h"
#include "support/ResultsFileAdministration.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// The five runs' file, a teacher's changes to it and their undoing.
using Undo = testing::FiveRunsAdministration;

TEST_F(Undo, ADeleteUndoneGivesTheFileBackByteForByte) {
    for (std::uint64_t number : {1u, 3u, 5u}) {
        remove(number);
        undo(history().size());
        EXPECT_EQ(testing::readBytes(path()), original) << "record " << number;
        EXPECT_FALSE(std::filesystem::exists(insertJournalPathOf(path())));
        EXPECT_FALSE(std::filesystem::exists(pendingChangeFileOf(path())));
    }
    const std::vector<HistoryEntry> entries = history();
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_EQ(entries[2].kind, HistoryEntry::Kind::Delete);
    EXPECT_EQ(entries[2].recordNumber, 3u);
    EXPECT_EQ(entries[3].kind, HistoryEntry::Kind::PutBack);
    EXPECT_EQ(entries[3].undoes, 3u);
    EXPECT_EQ(entries[4].kind, HistoryEntry::Kind::Delete);
    EXPECT_EQ(entries[4].recordNumber, 5u);
    EXPECT_EQ(entries[5].kind, HistoryEntry::Kind::PutBack);
    EXPECT_EQ(entries[5].recordNumber, 5u);
    EXPECT_EQ(entries[5].recordsBefore, 4u);
    EXPECT_EQ(entries[5].undoes, 5u);
    EXPECT_EQ(entries[5].after, encodeRecord(run(5)));
    EXPECT_EQ(entries[5].before, RecordBytes{});
}

TEST_F(Undo, RunsAppendedMeanwhileStayAndTheRecordGoesBackInItsPlace) {
    remove(2);
    testing::appendRecords(path(), {run(6), run(7)});
    undo(1);
    EXPECT_EQ(students(), (std::vector{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(Undo, AWriteBackUndoneGivesTheFileBackByteForByte) {
    ASSERT_EQ(testing::outcomeOf(administration.writeBack(2, kAnyRecord, 9, 99)),
              testing::ChangeSeen::Done);
    undo(1);
    EXPECT_EQ(testing::readBytes(path()), original);
    const std::vector<HistoryEntry> entries = history();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].kind, HistoryEntry::Kind::WriteBack);
    EXPECT_EQ(entries[1].before, entries[0].after);
    EXPECT_EQ(entries[1].after, entries[0].before);
    EXPECT_EQ(entries[1].undoes, 1u);
}

TEST_F(Undo, AnUndoIsItselfAChangeThatCanBeUndone) {
    remove(2);
    undo(1);
    undo(2);  // the record goes again
    EXPECT_EQ(students(), (std::vector{1, 3, 4, 5}));
    undo(3);
    EXPECT_EQ(testing::readBytes(path()), original);

    setStudent(4, 8);
    undo(5);
    undo(6);  // the write-back again
    EXPECT_EQ(students(), (std::vector{1, 2, 3, 8, 5}));
    const std::vector<HistoryEntry> entries = history();
    ASSERT_EQ(entries.size(), 7u);
    EXPECT_EQ(entries[2].kind, HistoryEntry::Kind::Delete);
    EXPECT_EQ(entries[2].undoes, 2u);
    EXPECT_EQ(entries[6].undoes, 6u);
}

/// A change is undone only while the records it would touch are as it left them.
TEST_F(Undo, AnUndoIsRefusedWhenALaterChangeMovedOrChangedItsRecords) {
    const struct {
        const char* change;
        std::function<void(Undo&)> first;  ///< entry 1
        std::function<void(Undo&)> later;  ///< entries 2 and on
        std::uint64_t undone;
        const char* refusal;  ///< a piece of the reason, or nothing when the undo goes through
        std::vector<int> students;
    } cases[] = {
        {"a delete, then a delete before it",
         [](Undo& u) { u.remove(3); },
         [](Undo& u) { u.remove(1); },
         1,
         "変更2（記録1の消去）で記録の並びが変わった",
         {2, 4, 5}},
        {"a delete, then a delete of the record that moved into its place",
         [](Undo& u) { u.remove(3); },
         [](Undo& u) { u.remove(3); },
         1,
         "記録の並びが変わった",
         {1, 2, 5}},
        {"a delete, then a delete after it",
         [](Undo& u) { u.remove(3); },
         [](Undo& u) { u.remove(4); },
         1,
         nullptr,
         {1, 2, 3, 4}},
        {"a delete, then a write-back of the record that moved into its place",
         [](Undo& u) { u.remove(3); },
         [](Undo& u) { u.setStudent(3, 9); },
         1,
         nullptr,
         {1, 2, 3, 9, 5}},
        {"a write-back, then a write-back of the same record",
         [](Undo& u) { u.setStudent(2, 8); },
         [](Undo& u) { u.setStudent(2, 9); },
         1,
         "変更2（記録2の書き換え）で記録が変わった",
         {1, 9, 3, 4, 5}},
        {"a write-back, then a delete before it",
         [](Undo& u) { u.setStudent(2, 8); },
         [](Undo& u) { u.remove(1); },
         1,
         "記録の並びが変わった",
         {8, 3, 4, 5}},
        {"a write-back, then a write-back of another record",
         [](Undo& u) { u.setStudent(2, 8); },
         [](Undo& u) { u.setStudent(3, 9); },
         1,
         nullptr,
         {1, 2, 9, 4, 5}},
        {"a write-back, then a delete put back before it",
         [](Undo& u) { u.setStudent(2, 8); },
         [](Undo& u) {
             u.remove(1);
             u.undo(2);
         },
         1,
         "変更2（記録1の消去）",
         {1, 8, 3, 4, 5}},
        {"a delete already undone",
         [](Undo& u) { u.remove(2); },
         [](Undo& u) { u.undo(1); },
         1,
         "変更2でもう元に戻してあります",
         {1, 2, 3, 4, 5}},
        {"a put-back, then a write-back of the record put back",
         [](Undo& u) { u.remove(2); },
         [](Undo& u) {
             u.undo(1);
             u.setStudent(2, 9);
         },
         2,
         "変更3（記録2の書き換え）で記録が変わった",
         {1, 9, 3, 4, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        std::ofstream(path(), std::ios::binary | std::ios::trunc) << original;
        std::filesystem::remove(historyFileOf(path()));
        c.first(*this);
        c.later(*this);
        const std::size_t entries = history().size();
        const auto result = administration.undo(c.undone, kAnyEntry);
        if (c.refusal) {
            EXPECT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Blocked);
            EXPECT_NE(testing::whyOf(result).find(c.refusal), std::string::npos)
                << testing::whyOf(result);
            EXPECT_EQ(history().size(), entries);
        } else {
            EXPECT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Done)
                << testing::whyOf(result);
            EXPECT_EQ(history().size(), entries + 1);
        }
        EXPECT_EQ(students(), c.students);
    }
}

TEST_F(Undo, AnUndoOfWhatTheHistoryDoesNotHoldOrOfARecordChangedOutsideItChangesNothing) {
    EXPECT_EQ(testing::outcomeOf(administration.undo(1, kAnyEntry)), testing::ChangeSeen::PastEnd);
    setStudent(2, 8);
    EXPECT_EQ(testing::outcomeOf(administration.undo(2, kAnyEntry)), testing::ChangeSeen::PastEnd);
    EXPECT_EQ(testing::outcomeOf(administration.undo(1, [](const HistoryEntry&) { return false; })),
              testing::ChangeSeen::NotTheRecord);

    // The results file restored from a copy: record 2 is no longer as the write-back left it.
    std::ofstream(path(), std::ios::binary | std::ios::trunc) << original;
    const auto restored = administration.undo(1, kAnyEntry);
    EXPECT_EQ(testing::outcomeOf(restored), testing::ChangeSeen::Blocked);
    EXPECT_NE(testing::whyOf(restored).find("記録2が変更1の後で変わっている"), std::string::npos);
    EXPECT_EQ(testing::readBytes(path()), original);
    EXPECT_EQ(history().size(), 1u);

    // A damaged entry is never undone, nor one behind it.
    std::fstream bytes(historyFileOf(path()), std::ios::binary | std::ios::in | std::ios::out);
    bytes.seekp(100);
    bytes.put('!');
    bytes.close();
    EXPECT_NE(testing::whyOf(administration.undo(1, kAnyEntry)).find("壊れていて読めない"),
              std::string::npos);
}

/// History entries that would harm the file if taken back as they stand: each undo is refused,
/// saying why, and changes nothing.
TEST_F(Undo, AnUndoThatWouldHarmTheFileIsRefused) {
    const auto appendEntry = [&](HistoryEntry::Kind kind, std::uint64_t number,
                                 const ResultRecord& before, const ResultRecord& after) {
        HistoryEntry entry = historyEntryFor(kind, number, 5, clock.now());
        entry.before = encodeRecord(before);
        entry.after = encodeRecord(after);
        PosixRecordFile historyFile;
        ASSERT_TRUE(
            testing::succeeded(appendHistoryEntry(historyFile, historyFileOf(path()), entry)));
    };
    ResultRecord outOfRange = run(2);
    outOfRange.StudentIndex = 6000;
    const struct {
        const char* entry;
        std::function<void()> make;
        const char* refusal;
    } cases[] = {
        {"a delete whose run is in the file again, restored from a copy",
         [&] {
             remove(3);
             std::ofstream(path(), std::ios::binary | std::ios::trunc) << original;
         },
         "記録3が変更1の後で変わっている"},
        {"a delete of record 0", [&] { appendEntry(HistoryEntry::Kind::Delete, 0, run(9), {}); },
         "記録0が変更1の後で変わっている"},
        {"a write-back that put right a student the count cannot place",
         [&] { appendEntry(HistoryEntry::Kind::WriteBack, 2, outOfRange, run(2)); },
         "生徒番号かレベルが範囲外"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        std::ofstream(path(), std::ios::binary | std::ios::trunc) << original;
        std::filesystem::remove(historyFileOf(path()));
        c.make();
        const std::string before = testing::readBytes(path());
        const auto result = administration.undo(1, kAnyEntry);
        EXPECT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Blocked);
        EXPECT_NE(testing::whyOf(result).find(c.refusal), std::string::npos)
            << testing::whyOf(result);
        EXPECT_EQ(testing::readBytes(path()), before);
        EXPECT_EQ(history().size(), 1u);
    }
}

}  // namespace
}  // namespace gaisan

#include "stores/results/InterruptedDelete.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/DurableFile.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/DeleteJournal.h"
#include "stores/results/RecordsAdministration.h"
#include "stores/results/ResultsFile.h"
#include "support/ChangeOutcomes.h"
#include "support/ExpectedAssertions.h"
#include "support/FakeClock.h"
#include "support/ForwardingRecordFile.h"
#include "support/NumberedRecordsAdministration.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// A delete of numbered records that a crash cut short, and the writers that finish it.
using RecordsAdministrationTest = testing::NumberedRecordsAdministration;

/// A delete of record 4 from records 1..10, cut short at every stage a crash can leave, then
/// finished by whoever takes the lock next: afterwards every record is there once, record 4 is
/// gone, and records appended since are kept.
TEST_F(RecordsAdministrationTest, ADeleteCutShortIsFinishedByTheNextWriter) {
    const std::vector<int> done = {1, 2, 3, 5, 6, 7, 8, 9, 10};
    const struct {
        const char* name;
        std::vector<int> fileHolds;  // the records by time, as the crash left them
        Finding finding;
        std::vector<int> after;
    } cases[] = {
        {"journal written, nothing moved", range(1, 10), Finding::Completed, done},
        {"two records moved", {1, 2, 3, 5, 6, 6, 7, 8, 9, 10}, Finding::Completed, done},
        {"moved, not cut", {1, 2, 3, 5, 6, 7, 8, 9, 10, 10}, Finding::Completed, done},
        {"cut, journal left", done, Finding::AlreadyComplete, done},
        {"cut, journal left, then appends",
         {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12},
         Finding::AlreadyComplete,
         {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"half moved, then an append that missed the journal",
         {1, 2, 3, 5, 6, 6, 7, 8, 9, 10, 11},
         Finding::Completed,
         {1, 2, 3, 5, 6, 7, 8, 9, 10, 11}},
        {"a file put back from a copy meanwhile",
         {1, 2, 3, 4, 5},
         Finding::NotMatching,
         {1, 2, 3, 4, 5}},
        {"another file altogether",
         {20, 21, 22, 23, 24, 25, 26, 27, 28, 29},
         Finding::NotMatching,
         {20, 21, 22, 23, 24, 25, 26, 27, 28, 29}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(path());
        std::vector<ResultRecord> records;
        for (int n : c.fileHolds) records.push_back(numbered(n));
        testing::appendRecords(path(), records);
        writeJournal(4, 10);

        InterruptedMove found;
        ASSERT_TRUE(testing::succeeded(file.open(path())));
        ASSERT_TRUE(testing::succeeded(file.lockForAppend()));
        EXPECT_TRUE(testing::succeeded(recoverInterruptedDelete(file, path(), found))) << c.name;
        file.close();
        EXPECT_EQ(found.finding, c.finding) << c.name;
        EXPECT_EQ(found.recordNumber, 4u) << c.name;
        EXPECT_FALSE(found.sentence().empty());
        EXPECT_EQ(timesIn(path()), c.after) << c.name;
        EXPECT_EQ(std::filesystem::file_size(path()) % ResultRecord::kSize, 0u) << c.name;
        EXPECT_FALSE(std::filesystem::exists(journal())) << c.name;
    }
}

/// A write cut by a crash stops at a page of the system's cache, not between records: record 6's
/// place holds the first bytes of record 7 (its date, clock and student) and the rest of record 6.
TEST_F(RecordsAdministrationTest, ARecordLeftHalfMovedIsFinished) {
    std::vector<ResultRecord> records = numberedRecords(1, 10);
    records.erase(records.begin() + 3);
    records.insert(records.begin() + 5, numbered(6));
    testing::appendRecords(path(), records);
    const RecordBytes seven = encodeRecord(numbered(7));
    std::string bytes = testing::readBytes(path());
    constexpr std::size_t kTorn = 18;
    bytes.replace(5 * ResultRecord::kSize, kTorn, reinterpret_cast<const char*>(seven.data()),
                  kTorn);
    folder.writeBytes(path().filename().string(), bytes);
    writeJournal(4, 10);

    const auto result = administration.recoverInterruptedChange();
    EXPECT_EQ(lastFound.finding, Finding::Completed);
    EXPECT_EQ(timesIn(path()), (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9, 10}));
    EXPECT_FALSE(std::filesystem::exists(journal()));
}

/// Records appended after the journal was written move down too, and the journal holds them
/// before the first of them is overwritten: a finish that fails part way leaves a journal from
/// which the next writer finishes the delete without losing one.
TEST_F(RecordsAdministrationTest, AppendedRecordsAreInTheJournalBeforeTheyMove) {
    testing::appendRecords(path(), numberedRecords(1, 12));
    writeJournal(4, 10);
    class FailingWrites final : public testing::ForwardingRecordFile {
        Expected<void> writeDurably(std::uint64_t, std::span<const std::byte>) override {
            return testing::failureOf(fileErrorOf(EIO));
        }
    } failing;
    InterruptedMove found;
    ASSERT_TRUE(testing::succeeded(failing.open(path())));
    ASSERT_TRUE(testing::succeeded(failing.lockForAppend()));
    EXPECT_FALSE(testing::succeeded(recoverInterruptedDelete(failing, path(), found)));
    failing.close();
    const Expected<std::vector<std::byte>> bytes = readWholeFile(journal());
    ASSERT_TRUE(testing::succeeded(bytes));
    const std::optional<DeleteJournal> rewritten = DeleteJournal::decode(*bytes);
    ASSERT_TRUE(rewritten.has_value());
    EXPECT_EQ(rewritten->recordsBefore, 12u);

    const auto result = administration.recoverInterruptedChange();
    EXPECT_EQ(lastFound.finding, Finding::Completed);
    EXPECT_EQ(timesIn(path()), (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12}));
}

/// A journal cut short, down to an empty file, was never whole: nothing moved.
TEST_F(RecordsAdministrationTest, AJournalCutShortMeansNothingMovedAndIsRemoved) {
    testing::appendRecords(path(), numberedRecords(1, 10));
    const std::string before = testing::readBytes(path());
    for (const std::size_t cut : {std::size_t{3}, std::size_t{0}}) {
        writeJournal(4, 10);
        const std::size_t size = std::filesystem::file_size(journal());
        std::filesystem::resize_file(journal(), cut == 0 ? 0 : size - cut);
        const auto result = administration.recoverInterruptedChange();
        EXPECT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Done);
        EXPECT_EQ(lastFound.finding, Finding::NothingMoved) << cut;
        EXPECT_EQ(testing::readBytes(path()), before);
        EXPECT_FALSE(std::filesystem::exists(journal()));
    }
}

TEST_F(RecordsAdministrationTest, AFileByTheJournalsNameThatIsNoJournalIsKeptUnderAnotherName) {
    testing::appendRecords(path(), numberedRecords(1, 3));
    // A whole copy of the results file, as a delete of an older program leaves under that name.
    std::filesystem::copy_file(path(), journal());
    const std::string copy = testing::readBytes(journal());
    const auto result = administration.recoverInterruptedChange();
    EXPECT_EQ(lastFound.finding, Finding::OtherFileSetAside);
    EXPECT_FALSE(std::filesystem::exists(journal()));
    EXPECT_EQ(lastFound.setAsideAs, folder / "成績累積データtemp.dat.kept");
    EXPECT_EQ(testing::readBytes(lastFound.setAsideAs), copy);
    EXPECT_NE(lastFound.sentence().find("成績累積データtemp.dat.kept"), std::string::npos);
    EXPECT_EQ(timesIn(path()), range(1, 3));
}

TEST_F(RecordsAdministrationTest, AChildsAppendFinishesADeleteCutShortWithoutAWord) {
    testing::appendRecords(path(),
                           {numbered(1), numbered(2), numbered(3), numbered(5), numbered(5)});
    writeJournal(4, 5);
    testing::FakeClock clock;
    ResultsFile results(file, path(), clock, [](int) {});
    EXPECT_TRUE(testing::succeeded(results.AppendResultRecord({7, 1, 77, std::nullopt})));
    EXPECT_EQ(timesIn(path()), (std::vector<int>{1, 2, 3, 5, 77}));
    EXPECT_FALSE(std::filesystem::exists(journal()));
}

TEST_F(RecordsAdministrationTest, ADeleteOrWriteBackFinishesAnInterruptedDeleteFirstAndSaysSo) {
    testing::appendRecords(path(),
                           {numbered(1), numbered(2), numbered(3), numbered(5), numbered(5)});
    writeJournal(4, 5);
    const auto result = administration.deleteRecord(1, chosen(1));
    EXPECT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Done);
    EXPECT_EQ(lastFound.finding, Finding::Completed);
    EXPECT_EQ(timesIn(path()), (std::vector<int>{2, 3, 5}));
}

}  // namespace
}  // namespace gaisan

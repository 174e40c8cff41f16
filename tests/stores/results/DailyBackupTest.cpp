#include "stores/results/ChangeHistory.h"
#include "stores/results/DailyBackup.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/PosixRecordFile.h"
#include "stores/results/ResultsFile.h"
#include "support/ExpectedAssertions.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

class DailyBackupTest : public ::testing::Test {
protected:
    std::filesystem::path path() const { return folder / "成績累積データ.dat"; }
    Expected<void> append(int student) {
        ResultsFile results(file, path(), clock, [](int) {});
        Expected<AppendDone> appended = results.AppendResultRecord({student, 1, 50, std::nullopt});
        backupProblem.reset();
        if (!appended) return Unexpected(appended.error());
        if (appended->backupProblem) backupProblem = appended->backupProblem->text();
        return {};
    }

    testing::TempFolder folder;
    testing::FakeClock clock{{2026, 12, 10}, 10 * 3600.0};
    PosixRecordFile file;
    std::optional<std::string> backupProblem;  ///< the last append's
};

TEST_F(DailyBackupTest, TheFirstAppendOfADayCopiesTheFileAsItWasBefore) {
    testing::appendRecords(path(), {testing::runRecord(1, 1, 40), testing::runRecord(2, 1, 41)});
    const std::string before = testing::readBytes(path());
    ASSERT_TRUE(testing::succeeded(append(3)));
    ASSERT_TRUE(testing::succeeded(append(4)));
    const auto backup = folder / "成績バックアップ" / "成績累積データ-2026-12-10.dat";
    EXPECT_EQ(testing::readBytes(backup), before) << "one copy a day, taken before its first run";
    EXPECT_EQ(backupsOf(path()), std::vector<std::filesystem::path>{backup});
    EXPECT_EQ(testing::recordsIn(path()).size(), 4u);

    clock.advanceDays(1);
    ASSERT_TRUE(testing::succeeded(append(5)));
    EXPECT_EQ(testing::recordsIn(backupFileOf(path(), {2026, 12, 11})).size(), 4u);
}

TEST_F(DailyBackupTest, TheChangeHistoryIsCopiedWithTheResults) {
    testing::appendRecords(path(), {testing::runRecord(1, 1, 40)});
    const std::string history = "the teacher's changes";
    std::ofstream(historyFileOf(path()), std::ios::binary) << history;
    ASSERT_TRUE(testing::succeeded(append(2)));
    EXPECT_EQ(backupProblem, std::nullopt);
    EXPECT_EQ(testing::readBytes(backupFileOf(historyFileOf(path()), {2026, 12, 10})), history);
    EXPECT_EQ(backupsOf(path()).size(), 1u) << "the history's copies are not the results file's";
}

TEST_F(DailyBackupTest, AHistoryGrownByZerosIsNotCopiedAndTheSoundCopiesStay) {
    testing::appendRecords(path(), {testing::runRecord(1, 1, 40)});
    PosixRecordFile historyFile;
    HistoryEntry change = historyEntryFor(HistoryEntry::Kind::Delete, 1, 1, clock.now());
    change.before = encodeRecord(testing::runRecord(1, 1, 40));
    ASSERT_TRUE(testing::succeeded(appendHistoryEntry(historyFile, historyFileOf(path()), change)));
    ASSERT_TRUE(testing::succeeded(append(2)));
    const std::string sound = testing::readBytes(historyFileOf(path()));
    EXPECT_EQ(testing::readBytes(backupFileOf(historyFileOf(path()), {2026, 12, 10})), sound);

    // A crash on the share grows the history by zeros to 1 GiB, sparse as such damage is.
    std::filesystem::resize_file(historyFileOf(path()), std::uintmax_t{1} << 30);
    for (int day = 11; day <= 12; ++day) {
        clock.advanceDays(1);
        ASSERT_TRUE(testing::succeeded(append(2 + day)));
        EXPECT_FALSE(std::filesystem::exists(backupFileOf(historyFileOf(path()), {2026, 12, day})));
        ASSERT_TRUE(backupProblem);
        EXPECT_TRUE(backupProblem->starts_with(historyFileOf(path()).string() + ": "))
            << *backupProblem;
        EXPECT_NE(backupProblem->find("バックアップを取りませんでした"), std::string::npos)
            << *backupProblem;
        EXPECT_TRUE(std::filesystem::exists(backupFileOf(path(), {2026, 12, day})))
            << "the results file is copied all the same";
    }
    EXPECT_EQ(testing::readBytes(backupFileOf(historyFileOf(path()), {2026, 12, 10})), sound);
    EXPECT_EQ(testing::recordsIn(path()).size(), 4u);
}

TEST_F(DailyBackupTest, AResultsFileThatTakesNoMoreRecordsIsNotCopied) {
    testing::appendRecords(path(), {testing::runRecord(1, 1, 40)});
    std::filesystem::resize_file(path(), kAppendLockOffset);
    const auto failure = append(2);
    ASSERT_FALSE(failure);
    EXPECT_NE(failure.error().problem.find("大きくなりすぎて"), std::string::npos)
        << failure.error().problem;
    EXPECT_TRUE(backupsOf(path()).empty());
    EXPECT_EQ(std::filesystem::file_size(path()), kAppendLockOffset);
}

TEST_F(DailyBackupTest, TheNewestFourteenAreKept) {
    testing::appendRecords(path(), {testing::runRecord(1, 1, 40)});
    for (int day = 0; day < 20; ++day) {
        ASSERT_TRUE(testing::succeeded(append(2)));
        clock.advanceDays(1);
    }
    const auto backups = backupsOf(path());
    ASSERT_EQ(backups.size(), kKeptBackups);
    EXPECT_EQ(backups.front(), backupFileOf(path(), {2026, 12, 29}));
    EXPECT_EQ(backups.back(), backupFileOf(path(), {2026, 12, 16}));
    EXPECT_EQ(testing::recordsIn(backups.front()).size(), 20u)
        << "the first record and 19 days of runs";
}

TEST_F(DailyBackupTest, AnEmptyFileIsNotCopied) {
    ASSERT_TRUE(testing::succeeded(append(1)));
    EXPECT_TRUE(backupsOf(path()).empty());
}

TEST_F(DailyBackupTest, AFailedCopyNeverStopsARunFromBeingRecorded) {
    testing::appendRecords(path(), {testing::runRecord(1, 1, 40)});
    folder.writeBytes("成績バックアップ", "a file where the backup folder should be");
    ASSERT_TRUE(testing::succeeded(append(2)));
    EXPECT_EQ(testing::recordsIn(path()).size(), 2u);
    EXPECT_TRUE(backupsOf(path()).empty());
    // Passed over, but not in silence: the failure names the folder.
    ASSERT_TRUE(backupProblem);
    EXPECT_TRUE(backupProblem->starts_with((folder / "成績バックアップ").string() + ": "))
        << *backupProblem;

    std::filesystem::remove(folder / "成績バックアップ");
    ASSERT_TRUE(testing::succeeded(append(3)));
    EXPECT_EQ(backupProblem, std::nullopt) << "the next append of the day takes the copy";
    EXPECT_EQ(testing::recordsIn(backupFileOf(path(), {2026, 12, 10})).size(), 2u);
}

}  // namespace
}  // namespace gaisan

#include "stores/results/ResultsFile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "platform/PosixRecordFile.h"
#include "stores/results/AnswersFailureLog.h"
#include "stores/results/AnswersFile.h"
#include "support/ExpectedAssertions.h"
#include "support/FakeClock.h"
#include "support/ForwardingRecordFile.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

std::uint64_t sizeOf(const std::filesystem::path& file) { return std::filesystem::file_size(file); }

/// A results file in a temporary data folder, with the real record file, a fixed clock and a
/// wait that only remembers how long it was asked to wait.
class ResultsFileTest : public ::testing::Test {
protected:
    std::filesystem::path path() const { return folder / "成績累積データ.dat"; }

    ResultsFile results(std::function<void(int)> onWait = nullptr) {
        return ResultsFile(file, path(), clock, [this, onWait](int seconds) {
            waits.push_back(seconds);
            if (onWait) onWait(seconds);
        });
    }

    Expected<void> load() { return results().LoadResultRecords(records, *counts); }

    /// Another machine: its own open file description of the results file, holding the append
    /// lock. Returns its descriptor, or -1 when the lock could not be taken.
    int holdAppendLockElsewhere() const {
        const int other = ::open(path().c_str(), O_RDWR);
        flock region{};
        region.l_type = F_WRLCK;
        region.l_whence = SEEK_SET;
        region.l_start = static_cast<off_t>(kAppendLockOffset);
        region.l_len = 1;
        if (other < 0 || ::fcntl(other, F_OFD_SETLK, &region) != 0) return -1;
        return other;
    }

    testing::TempFolder folder;
    testing::FakeClock clock{{2026, 12, 10}, 10 * 3600 + 30 * 60 + 15.6};
    PosixRecordFile file;
    std::vector<int> waits;
    LoadedRecords records;
    std::unique_ptr<CountTables> counts = std::make_unique<CountTables>();
};

TEST_F(ResultsFileTest, AnAppendWritesTheRunWithTheDateAndClockOfTheWrite) {
    ASSERT_TRUE(testing::succeeded(results().AppendResultRecord({12, 3, 48, "01234"})));
    ASSERT_TRUE(testing::succeeded(results().AppendResultRecord({7, 1, 99999, std::nullopt})));
    const auto written = testing::recordsIn(path());
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0].RecordDate, daySerial({2026, 12, 10}));
    EXPECT_EQ(written[0].RecordClock, (10 * 3600 + 30 * 60 + 15) / 86400.0);
    EXPECT_EQ(written[0].StudentIndex, 12);
    EXPECT_EQ(written[0].LevelIndex, 3);
    EXPECT_EQ(written[0].ResultSeconds, 48);
    EXPECT_EQ(written[0].SchoolCode, "01234");
    EXPECT_EQ(written[0].ExtraField, "     ");
    EXPECT_EQ(written[0].PointsField, "0    ");
    EXPECT_EQ(written[1].SchoolCode, "     ");
    EXPECT_EQ(written[1].ResultSeconds, 99999);
    EXPECT_EQ(sizeOf(path()), 88u);
}

TEST_F(ResultsFileTest, AnAppendOverwritesATrailingPartialRecord) {
    testing::appendRecords(path(), {testing::runRecord(1, 1, 50), testing::runRecord(2, 1, 60)});
    std::ofstream(path(), std::ios::binary | std::ios::app) << "torn bytes";
    ASSERT_TRUE(testing::succeeded(results().AppendResultRecord({3, 1, 70, std::nullopt})));
    EXPECT_EQ(sizeOf(path()), 3 * 44u);
    EXPECT_EQ(testing::recordsIn(path())[2].StudentIndex, 3);
}

TEST_F(ResultsFileTest, AnAppendWaitsInOneSecondStepsWhileAnotherMachineHoldsTheLock) {
    testing::appendRecords(path(), {testing::runRecord(1, 1, 50)});
    const int other = holdAppendLockElsewhere();
    ASSERT_GE(other, 0);

    const auto failure = results([&](int) {
                             if (waits.size() == 3) ::close(other);  // the other machine finishes
                         }).AppendResultRecord({2, 1, 60, std::nullopt});
    EXPECT_TRUE(testing::succeeded(failure));
    EXPECT_EQ(waits, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(testing::recordsIn(path()).size(), 2u);
}

/// The real file, remembering how it was opened, and, when told an errno, failing the write
/// after putting part of the record into the file, the way a full disk or a dropped network
/// connection does.
class WatchedFile final : public testing::ForwardingRecordFile {
public:
    Expected<void> open(const std::filesystem::path& file) override {
        ++readWriteOpens;
        return m_file.open(file);
    }
    Expected<void> openForReading(const std::filesystem::path& file) override {
        ++readOnlyOpens;
        return m_file.openForReading(file);
    }
    Expected<void> writeDurably(std::uint64_t offset, std::span<const std::byte> bytes) override {
        if (failingErrno == 0) return m_file.writeDurably(offset, bytes);
        // The torn part is written; the failure reported is the scripted one.
        static_cast<void>(m_file.writeDurably(offset, bytes.first(20)));
        return testing::failureOf(fileErrorOf(failingErrno));
    }
    Expected<void> truncate(std::uint64_t length) override {
        if (failingTruncateErrno == 0) return m_file.truncate(length);
        return testing::failureOf(fileErrorOf(failingTruncateErrno));
    }

    int failingErrno = 0;
    int failingTruncateErrno = 0;
    int readWriteOpens = 0;
    int readOnlyOpens = 0;
};

TEST_F(ResultsFileTest, WhileTheLockIsHeldElsewhereTheFileIsOpenedAfreshBeforeEachTry) {
    testing::appendRecords(path(), {testing::runRecord(1, 1, 50)});
    const int other = holdAppendLockElsewhere();
    ASSERT_GE(other, 0);
    WatchedFile watched;
    ResultsFile results(watched, path(), clock, [&](int) {
        if (watched.readWriteOpens == 3) ::close(other);
    });
    ASSERT_TRUE(testing::succeeded(results.AppendResultRecord({2, 1, 60, std::nullopt})));
    EXPECT_EQ(watched.readWriteOpens, 4) << "three tries met the lock, the fourth took it";
}

TEST_F(ResultsFileTest, LoadsReadThroughAFreshReadOnlyDescriptor) {
    testing::appendRecords(path(), {testing::runRecord(1, 1, 50)});
    WatchedFile watched;
    ResultsFile results(watched, path(), clock, [](int) {});
    ASSERT_TRUE(testing::succeeded(results.LoadResultRecords(records, *counts)));
    ASSERT_TRUE(testing::succeeded(results.LoadResultRecords(records, *counts)));
    EXPECT_EQ(watched.readOnlyOpens, 2);
    EXPECT_EQ(watched.readWriteOpens, 0);
    EXPECT_EQ(records.entries.size(), 1u);
}

TEST_F(ResultsFileTest, AFailedWriteIsCutBackOnlyWhenTheDiskIsFull) {
    const struct {
        int failingErrno;
        const char* description;
        bool cutBack;
    } cases[] = {
        {ENOSPC, "ディスクがいっぱいです（エラー番号 28）", true},
        {EDQUOT, "ディスクの使用量の上限（クォータ）に達しました（エラー番号 122）", true},
        // The lock may have gone with the connection: another machine's record may follow.
        {EIO, "ファイルの読み書き中に装置のエラーが起きました（エラー番号 5）", false},
        {ESTALE,
         "共有フォルダとの接続が切れました（ネットワークを確かめてください）（エラー番号 116）",
         false},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(path());
        testing::appendRecords(path(), {testing::runRecord(1, 1, 50)});
        const std::string before = testing::readBytes(path());
        WatchedFile failing;
        failing.failingErrno = c.failingErrno;
        ResultsFile failingResults(failing, path(), clock, [](int) {});
        const auto failure = failingResults.AppendResultRecord({2, 1, 60, std::nullopt});
        ASSERT_FALSE(failure) << c.description;
        EXPECT_EQ(failure.error().problem, std::string("成績ランダムファイル記録") + c.description);
        if (c.cutBack) {
            EXPECT_EQ(testing::readBytes(path()), before) << c.description;
        } else {
            EXPECT_EQ(sizeOf(path()), 44u + 20u) << c.description;
            // The next append overwrites the partial record.
            ASSERT_TRUE(testing::succeeded(results().AppendResultRecord({3, 1, 70, std::nullopt})));
            EXPECT_EQ(sizeOf(path()), 88u);
            EXPECT_EQ(testing::recordsIn(path())[1].StudentIndex, 3);
        }
    }
}

TEST_F(ResultsFileTest, ACutBackThatFailsTooIsToldAndTheNextAppendWritesOverThePart) {
    testing::appendRecords(path(), {testing::runRecord(1, 1, 50)});
    WatchedFile failing;
    failing.failingErrno = ENOSPC;
    failing.failingTruncateErrno = EIO;
    ResultsFile failingResults(failing, path(), clock, [](int) {});
    const auto failure = failingResults.AppendResultRecord({2, 1, 60, std::nullopt});
    ASSERT_FALSE(failure);
    EXPECT_EQ(failure.error().problem,
              "成績ランダムファイル記録ディスクがいっぱいです（エラー番号 28）"
              "（書きかけの記録を取り除けませんでした："
              "ファイルの読み書き中に装置のエラーが起きました（エラー番号 5））");
    EXPECT_EQ(sizeOf(path()), 44u + 20u);
    ASSERT_TRUE(testing::succeeded(results().AppendResultRecord({3, 1, 70, std::nullopt})));
    EXPECT_EQ(sizeOf(path()), 88u);
    EXPECT_EQ(testing::recordsIn(path())[1].StudentIndex, 3);
}

TEST_F(ResultsFileTest, ARunsAnswersFollowItsRecordAndTheirFailureNeverCostsTheRun) {
    AnswerRecord answer;
    answer.first = 450;
    answer.second = 120;
    answer.boxes = {"400", "100", "500"};
    answer.wrongBoxes = 0b101;
    PosixRecordFile answersFile;
    ResultsFile keeping = results();
    keeping.keepAnswers(answersFile);
    const auto recorded =
        keeping.AppendResultRecord({12, 3, 99999, std::nullopt}, std::array{answer, answer});
    ASSERT_TRUE(testing::succeeded(recorded));
    EXPECT_EQ(recorded->answersProblem, std::nullopt);
    const ResultRecord record = testing::recordsIn(path()).at(0);
    std::vector<RunAnswers> runs;
    static_cast<void>(readAnswersFile(answersFile, answersFileOf(path(), 2026, 12),
                                      [&](const RunBlock& run) { runs.push_back(run.decoded()); }));
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].run, (RunIdentity{record.RecordDate, record.RecordClock, 12, 3}));
    EXPECT_EQ(runs[0].answers, (std::vector{answer, answer}));

    WatchedFile fullDisk;
    fullDisk.failingErrno = ENOSPC;
    keeping.keepAnswers(fullDisk);
    const auto withoutAnswers =
        keeping.AppendResultRecord({12, 3, 50, std::nullopt}, std::array{answer});
    ASSERT_TRUE(testing::succeeded(withoutAnswers));
    EXPECT_EQ(testing::recordsIn(path()).size(), 2u) << "the run is recorded";
    ASSERT_TRUE(withoutAnswers->answersProblem);
    EXPECT_NE(withoutAnswers->answersProblem->text().find("生徒0012.dat"), std::string::npos);
    const std::vector<std::string> logged = loggedAnswersProblems(path()).failures;
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("生徒0012.dat"), std::string::npos) << logged[0];
}

TEST_F(ResultsFileTest, AFailedDaysCopyOfTheAnswersIsToldAsABackupsFailureOnceADay) {
    AnswerRecord answer;
    answer.first = 450;
    answer.second = 120;
    answer.boxes = {"500", "100", "600"};
    PosixRecordFile answersFile;
    ResultsFile keeping = results();
    keeping.keepAnswers(answersFile);
    ASSERT_TRUE(testing::succeeded(
        keeping.AppendResultRecord({12, 3, 50, std::nullopt}, std::array{answer})));
    // Where the day's copies of the answers go, something nobody can write into.
    clock.advanceDays(1);
    folder.writeBytes("成績バックアップ/成績解答データ2026-2026-12-11", "not a folder");
    for (int run = 0; run < 2; ++run) {
        const auto recorded =
            keeping.AppendResultRecord({12, 3, 40, std::nullopt}, std::array{answer});
        ASSERT_TRUE(testing::succeeded(recorded));
        EXPECT_EQ(recorded->answersProblem, std::nullopt) << "the answers were written";
        ASSERT_TRUE(recorded->backupProblem);
        EXPECT_NE(recorded->backupProblem->text().find("成績解答データ2026-2026-12-11"),
                  std::string::npos)
            << recorded->backupProblem->text();
    }
    std::uint64_t runs = 0;
    static_cast<void>(readAnswersFile(answersFile, answersFileOf(path(), 2026, 12),
                                      [&](const RunBlock&) { ++runs; }));
    EXPECT_EQ(runs, 3u);
    const LoggedAnswersProblems logged = loggedAnswersProblems(path());
    EXPECT_TRUE(logged.failures.empty());
    const std::vector<std::string>& backupLines = logged.backupFailures;
    ASSERT_EQ(backupLines.size(), 1u) << "one cause, one line a day";
    EXPECT_TRUE(backupLines[0].starts_with("2026-12-11 10:30:15 " + folder.path().string()))
        << backupLines[0];
}

TEST_F(ResultsFileTest, TheStartUpCheckCreatesTheFileAndReportsAFolderItCannotWrite) {
    EXPECT_TRUE(testing::succeeded(results().checkWritable()));
    EXPECT_TRUE(std::filesystem::exists(path()));
    EXPECT_EQ(sizeOf(path()), 0u);

    const auto notAFolder = folder.writeBytes("data", "a file where a folder should be");
    ResultsFile blocked(file, notAFolder / "成績累積データ.dat", clock, [](int) {});
    const auto failure = blocked.checkWritable();
    ASSERT_FALSE(failure);
    EXPECT_EQ(
        failure.error().problem,
        "成績ランダムファイル記録フォルダのあるべき場所にファイルがあります（エラー番号 20）");
}

TEST_F(ResultsFileTest, LoadingAMissingFileCreatesItEmpty) {
    EXPECT_TRUE(testing::succeeded(load()));
    EXPECT_TRUE(std::filesystem::exists(path()));
    EXPECT_TRUE(records.entries.empty());
    EXPECT_EQ(counts->BestTime.at(1, 1), 99999);
    EXPECT_EQ(counts->LevelBestTime.at(1), 99999);
}

TEST_F(ResultsFileTest, OnlyTheNewestTwentyThousandRecordsAreLoaded) {
    for (const int total : {20000, 20001}) {
        std::filesystem::remove(path());
        std::vector<ResultRecord> all;
        for (int i = 1; i <= total; ++i) all.push_back(testing::runRecord(1 + i % 50, 1, i));
        testing::appendRecords(path(), all);
        ASSERT_TRUE(testing::succeeded(load()));
        ASSERT_EQ(records.entries.size(), 20000u);
        EXPECT_EQ(records.entries.front().seconds, total - 19999) << total;
        EXPECT_EQ(records.entries.back().seconds, total);
    }
}

TEST_F(ResultsFileTest, LoadingReadsWholeRecordsAndKeepsBestTimesStrictly) {
    testing::appendRecords(
        path(), {
                    testing::runRecord(4, 2, 80),
                    testing::runRecord(4, 2, 70),
                    testing::runRecord(4, 2, 70),
                    testing::runRecord(4, 2, 99999),
                    testing::runRecord(0, 2, 10),  // student 0: a best time, not listed
                    testing::runRecord(5, 0, 10),  // level 0: likewise
                    testing::runRecord(6, 2, 20, dateOfSerial(-1)),  // a date below 0: likewise
                    testing::runRecord(1001, 2, 5),                  // beyond 1000: no level best
                    testing::runRecord(9, 3, 99999),
                });
    std::ofstream(path(), std::ios::binary | std::ios::app) << "partial";
    ASSERT_TRUE(testing::succeeded(load()));
    EXPECT_EQ(records.entries.size(), 6u);
    EXPECT_EQ(counts->BestTime.at(2, 4), 70);
    EXPECT_EQ(counts->BestTime.at(2, 0), 10);
    EXPECT_EQ(counts->BestTime.at(0, 5), 10);
    EXPECT_EQ(counts->BestTime.at(2, 6), 20);
    EXPECT_EQ(counts->BestTime.at(2, 1001), 5);
    EXPECT_EQ(counts->LevelBestTime.at(2), 20);
    EXPECT_EQ(counts->BestTime.at(3, 9), 99999);
    EXPECT_EQ(counts->LevelBestTime.at(3), 99999);
}

TEST_F(ResultsFileTest, ARecordTheTablesCannotHoldEndsTheLoadNamingIt) {
    const struct {
        const char* name;
        ResultRecord bad;
    } cases[] = {
        {"student beyond 5000", testing::runRecord(6000, 1, 40)},
        {"level beyond 35", testing::runRecord(3, 36, 40)},
        {"negative student", testing::runRecord(-1, 1, 40)},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(path());
        testing::appendRecords(path(), {testing::runRecord(1, 1, 50), c.bad});
        const auto failure = load();
        ASSERT_FALSE(failure) << c.name;
        EXPECT_TRUE(failure.error().problem.starts_with("成績ランダムファイル表示89"))
            << failure.error().problem;
        EXPECT_NE(failure.error().problem.find("/i=2/"), std::string::npos)
            << failure.error().problem;
    }
    std::filesystem::remove(path());
    testing::appendRecords(path(), {testing::runRecord(1, 1, 50), testing::runRecord(6000, 1, 40)});
    EXPECT_EQ(load().error().problem,
              "成績ランダムファイル表示89記録の生徒番号かレベルが範囲外です9/date46366/i=2/time=0.5"
              "/name=/Bangou=6000/level=1/time=40line8");
}

TEST_F(ResultsFileTest, ARecordWhoseDateOrClockIsNoTimeIsPassedOver) {
    ResultRecord nan = testing::runRecord(3, 1, 40);
    nan.RecordDate = std::numeric_limits<double>::quiet_NaN();
    ResultRecord fraction = testing::runRecord(3, 1, 41);
    fraction.RecordDate += 0.5;
    ResultRecord infiniteClock = testing::runRecord(3, 1, 42);
    infiniteClock.RecordClock = std::numeric_limits<double>::infinity();
    const ResultRecord negativeTime = testing::runRecord(3, 1, -100000000);
    testing::appendRecords(path(), {testing::runRecord(3, 1, 50), nan, fraction, infiniteClock,
                                    negativeTime, testing::runRecord(3, 1, 60)});
    ASSERT_TRUE(testing::succeeded(load()));
    ASSERT_EQ(records.entries.size(), 2u);
    EXPECT_EQ(records.entries[1].seconds, 60);
    EXPECT_EQ(counts->BestTime.at(1, 3), 50);
    EXPECT_EQ(counts->LevelBestTime.at(1), 50) << "a negative time is no best";
    for (const ResultRecord& bad : {nan, fraction, infiniteClock, negativeTime}) {
        EXPECT_TRUE(ResultsFile::problemOf(bad, daySerial({2026, 12, 10})));
        EXPECT_EQ(ResultsFile::indexProblemOf(runFieldsOf(bad)), std::nullopt);
    }
}

TEST_F(ResultsFileTest, AMissingFolderIsTriedFourTimesFiveSecondsApart) {
    ResultsFile gone(file, folder / "no-such-folder/成績累積データ.dat", clock,
                     [this](int seconds) { waits.push_back(seconds); });
    const auto failure = gone.LoadResultRecords(records, *counts);
    ASSERT_FALSE(failure);
    EXPECT_EQ(failure.error().problem,
              "ファイルがありません3ファイルまたはフォルダが見つかりません（エラー番号 2）53");
    EXPECT_EQ(waits, (std::vector<int>{5, 5, 5, 5}));
}

}  // namespace
}  // namespace gaisan

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <utility>

#include "platform/Calendar.h"
#include "platform/Clock.h"
#include "platform/PosixRecordFile.h"
#include "records/ResultsFile.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {


/// Several machines appending to one results file at once, each also reading it now and then
/// (opening and closing it, which would drop a classic POSIX lock): every record must arrive
/// whole, exactly once. The retry wait is a millisecond here; the program waits a second.
TEST(ConcurrentAppend, EightMachinesAppendingTogetherLoseNothing) {
    constexpr int kMachines = 8;
    constexpr int kAppendsEach = 500;
    testing::TempFolder folder;
    const auto path = folder / "成績累積データ.dat";

    std::vector<pid_t> machines;
    for (int machine = 1; machine <= kMachines; ++machine) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            SystemClock clock;
            PosixRecordFile file;
            PosixRecordFile readerFile;
            ResultsFile results(file, path, clock, [](int) { usleep(1000); });
            ResultsFile reader(readerFile, path, clock, [](int) { usleep(1000); });
            auto counts = std::make_unique<CountTables>();
            LoadedRecords loaded;
            int status = 0;
            for (int i = 1; i <= kAppendsEach && status == 0; ++i) {
                if (results.AppendResultRecord({machine, 1, i, std::nullopt})) status = 1;
                if (i % 50 == 0 && reader.LoadResultRecords(loaded, *counts)) status = 2;
            }
            _exit(status);
        }
        machines.push_back(pid);
    }
    for (const pid_t pid : machines) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    EXPECT_EQ(std::filesystem::file_size(path), kMachines * kAppendsEach * ResultRecord::kSize);
    std::set<std::pair<int, int>> seen;
    const int today = daySerial(SystemClock().now().date);
    for (const ResultRecord& record : testing::recordsIn(path)) {
        EXPECT_EQ(ResultsFile::problemOf(record, today), std::nullopt);
        seen.insert({record.StudentIndex, record.ResultSeconds});
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kMachines * kAppendsEach));
}

TEST(ConcurrentAppend, AMachineHoldingTheLockMakesTheOtherWaitThenSucceed) {
    testing::TempFolder folder;
    const auto path = folder / "成績累積データ.dat";
    testing::appendRecords(path, {testing::runRecord(1, 1, 50)});
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        PosixRecordFile file;
        if (file.open(path) || file.lockForAppend()) _exit(1);
        (void)!write(ready[1], "L", 1);
        usleep(400'000);
        _exit(0);  // ending the process releases the lock
    }
    char signal = 0;
    ASSERT_EQ(read(ready[0], &signal, 1), 1);

    SystemClock clock;
    PosixRecordFile file;
    int waits = 0;
    ResultsFile results(file, path, clock, [&](int) {
        ++waits;
        usleep(100'000);
    });
    EXPECT_EQ(results.AppendResultRecord({2, 1, 60, std::nullopt}), std::nullopt);
    EXPECT_GE(waits, 1);
    int status = 0;
    waitpid(holder, &status, 0);
    const auto records = testing::recordsIn(path);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].StudentIndex, 2);
}

TEST(ConcurrentAppend, ClosingAnotherDescriptorOfTheFileKeepsTheLock) {
    testing::TempFolder folder;
    const auto path = folder / "成績累積データ.dat";
    PosixRecordFile holder;
    ASSERT_EQ(holder.open(path), std::nullopt);
    ASSERT_EQ(holder.lockForAppend(), std::nullopt);
    // A reader in the same process opens and closes the file, which would drop a classic lock.
    PosixRecordFile reader;
    ASSERT_EQ(reader.open(path), std::nullopt);
    reader.close();
    PosixRecordFile other;
    ASSERT_EQ(other.open(path), std::nullopt);
    const auto attempt = other.lockForAppend();
    ASSERT_TRUE(attempt);
    EXPECT_EQ(attempt->kind, FileErrorKind::Locked);
    EXPECT_EQ(attempt->number, 70);
    holder.close();
    EXPECT_EQ(other.lockForAppend(), std::nullopt);
}

}  // namespace
}  // namespace gaisan

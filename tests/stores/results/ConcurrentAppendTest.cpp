#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <utility>

#include "platform/Calendar.h"
#include "platform/Clock.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/ResultsFile.h"
#include "support/ExpectedAssertions.h"
#include "support/RecordFiles.h"
#include "support/ReportingProcesses.h"
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
                if (!results.AppendResultRecord({machine, 1, i, std::nullopt})) status = 1;
                if (i % 50 == 0 && !reader.LoadResultRecords(loaded, *counts)) status = 2;
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
        if (!file.open(path) || !file.lockForAppend()) _exit(1);
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
    EXPECT_TRUE(testing::succeeded(results.AppendResultRecord({2, 1, 60, std::nullopt})));
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
    ASSERT_TRUE(testing::succeeded(holder.open(path)));
    ASSERT_TRUE(testing::succeeded(holder.lockForAppend()));
    // A reader in the same process opens and closes the file, which would drop a classic lock.
    PosixRecordFile reader;
    ASSERT_TRUE(testing::succeeded(reader.open(path)));
    reader.close();
    PosixRecordFile other;
    ASSERT_TRUE(testing::succeeded(other.open(path)));
    const auto attempt = other.lockForAppend();
    ASSERT_FALSE(attempt);
    EXPECT_EQ(attempt.error().error.kind, FileErrorKind::Locked);
    EXPECT_EQ(attempt.error().error.number, 70);
    holder.close();
    EXPECT_TRUE(testing::succeeded(other.lockForAppend()));
}

/// Appending processes killed at random moments, the way machines are switched off in the middle
/// of a lesson: every append a process saw succeed is in the file exactly once, nothing appears
/// twice, and the file is a whole number of records.
TEST(ConcurrentAppend, AppendersKilledAtRandomLoseNoAcknowledgedRecord) {
    constexpr std::size_t kAlive = 4;
    constexpr int kKills = 150;
    testing::TempFolder folder;
    const auto path = folder / "成績累積データ.dat";
    struct Ack {
        std::int32_t machine;
        std::int32_t append;
    };
    testing::ReportingProcesses<Ack> machines;
    const auto startMachine = [&](int machine) {
        return machines.start([&, machine] {
            SystemClock clock;
            PosixRecordFile file;
            ResultsFile results(file, path, clock, [](int) { usleep(1000); });
            for (std::int32_t append = 1;; ++append) {
                if (!results.AppendResultRecord({machine, 1, append, std::nullopt})) _exit(1);
                machines.tell({machine, append});
            }
        });
    };
    std::set<std::pair<int, int>> acknowledged;
    const auto acknowledge = [&](const Ack& ack) {
        acknowledged.insert({ack.machine, ack.append});
    };

    std::mt19937 random(20261210);
    std::vector<pid_t> alive;
    int nextMachine = 1;
    while (alive.size() < kAlive) alive.push_back(startMachine(nextMachine++));
    for (int kill = 0; kill < kKills; ++kill) {
        usleep(random() % 15000);
        machines.drain(acknowledge);
        pid_t& victim = alive[random() % alive.size()];
        int status = 0;
        ASSERT_TRUE(machines.kill(victim, status)) << "an appender failed by itself: " << status;
        victim = startMachine(nextMachine++);
    }
    machines.stop(alive, acknowledge);

    ASSERT_EQ(std::filesystem::file_size(path) % ResultRecord::kSize, 0u);
    std::map<std::pair<int, int>, int> copies;
    const int today = daySerial(SystemClock().now().date);
    for (const ResultRecord& record : testing::recordsIn(path)) {
        EXPECT_EQ(ResultsFile::problemOf(record, today), std::nullopt);
        ++copies[{record.StudentIndex, record.ResultSeconds}];
    }
    for (const auto& [run, count] : copies) EXPECT_EQ(count, 1) << run.first << "/" << run.second;
    for (const auto& run : acknowledged) {
        EXPECT_TRUE(copies.contains(run))
            << "acknowledged but lost: " << run.first << "/" << run.second;
    }
    EXPECT_GT(acknowledged.size(), 100u) << "the appenders hardly ran";
}

}  // namespace
}  // namespace gaisan

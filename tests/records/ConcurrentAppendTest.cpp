#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <utility>

#include "platform/Clock.h"
#include "platform/PosixRecordFile.h"
#include "records/ResultsFile.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// Several machines appending to one results file at once, each also reading it now and then
/// (opening and closing it, which would drop a classic POSIX lock): every record must arrive
/// whole, exactly once.
TEST(ConcurrentAppend, NoRecordIsLostOrTorn) {
    constexpr int kMachines = 4;
    constexpr int kAppendsEach = 250;
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
    const std::string bytes = testing::readBytes(path);
    std::set<std::pair<int, int>> seen;
    for (std::size_t at = 0; at + ResultRecord::kSize <= bytes.size(); at += ResultRecord::kSize) {
        const ResultRecord record = decodeRecord(std::span<const std::byte, ResultRecord::kSize>(
            reinterpret_cast<const std::byte*>(bytes.data() + at), ResultRecord::kSize));
        EXPECT_EQ(ResultsFile::problemOf(record), std::nullopt);
        seen.insert({record.StudentIndex, record.ResultSeconds});
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(kMachines * kAppendsEach));
}

}  // namespace
}  // namespace gaisan

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/PosixRecordFile.h"
#include "stores/results/AnswersFailureLog.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/DailyBackup.h"
#include "stores/results/ResultsFile.h"
#include "support/ExpectedAssertions.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// A 64 KB tmpfs mounted for the test and unmounted after it.
class SmallDisk {
public:
    explicit SmallDisk(std::filesystem::path point) : m_point(std::move(point)) {
        std::filesystem::create_directory(m_point);
        m_mounted = ::mount("tmpfs", m_point.c_str(), "tmpfs", 0, "size=64k") == 0;
        if (!m_mounted) m_problem = std::strerror(errno);
    }
    ~SmallDisk() {
        if (m_mounted) ::umount2(m_point.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return m_mounted; }
    const std::string& problem() const { return m_problem; }
    bool makeReadOnly() {
        return ::mount(nullptr, m_point.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::filesystem::path m_point;
    bool m_mounted = false;
    std::string m_problem;
};

/// Fills the disk that holds `file` with `file` until no byte more fits.
void fillDisk(const std::filesystem::path& file) {
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_GE(descriptor, 0);
    const std::string block(4096, 'x');
    while (::write(descriptor, block.data(), block.size()) > 0) {
    }
    while (::write(descriptor, block.data(), 1) > 0) {
    }
    ::close(descriptor);
}

/// A test on a small disk of its own, mounted for it; skipped where none can be mounted.
class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        if (geteuid() != 0) {
            GTEST_SKIP() << "skipped: the full-disk test mounts a small tmpfs, which needs root";
        }
        m_disk.emplace(m_folder / "disk");
        if (!m_disk->mounted()) {
            GTEST_SKIP() << "skipped: a tmpfs cannot be mounted here (" << m_disk->problem() << ")";
        }
    }

    testing::TempFolder m_folder;
    std::optional<SmallDisk> m_disk;  ///< unmounted before the folder is removed
};

/// A full and then a read-only disk under the results file: the append is refused with the
/// teacher's message, the file stays whole with every earlier record, no half backup is left,
/// and appends work again once there is room.
TEST_F(FullDisk, AnAppendThatDoesNotFitIsRefusedAndLeavesTheFileWhole) {
    const auto path = m_folder / "disk" / "成績累積データ.dat";
    // 93 records end four bytes short of the first page, so the next record needs a new one.
    std::vector<ResultRecord> earlier;
    for (int i = 1; i <= 93; ++i) earlier.push_back(testing::runRecord(i, 1, 40 + i));
    testing::appendRecords(path, earlier);
    const std::string before = testing::readBytes(path);
    fillDisk(m_folder / "disk" / "filler");

    testing::FakeClock clock;
    PosixRecordFile file;
    ResultsFile results(file, path, clock, [](int) {});
    const auto failure = results.AppendResultRecord({94, 1, 60, std::nullopt});
    ASSERT_FALSE(failure);
    EXPECT_EQ(failure.error().problem,
              "成績ランダムファイル記録ディスクがいっぱいです（エラー番号 28）");
    EXPECT_EQ(testing::readBytes(path), before);
    EXPECT_TRUE(backupsOf(path).empty());
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(backupFolderOf(path), ignored)) {
        ADD_FAILURE() << "left in the backup folder: " << entry.path();
    }

    std::filesystem::remove(m_folder / "disk" / "filler");
    ASSERT_TRUE(testing::succeeded(results.AppendResultRecord({94, 1, 60, std::nullopt})));
    const auto records = testing::recordsIn(path);
    ASSERT_EQ(records.size(), 94u);
    EXPECT_EQ(records.back().StudentIndex, 94);
    EXPECT_EQ(testing::recordsIn(backupsOf(path).at(0)).size(), 93u);

    ASSERT_TRUE(m_disk->makeReadOnly()) << std::strerror(errno);
    const auto readOnly = results.AppendResultRecord({95, 1, 60, std::nullopt});
    ASSERT_FALSE(readOnly);
    EXPECT_EQ(readOnly.error().problem,
              "成績ランダムファイル記録読み取り専用のドライブです（エラー番号 30）");
    EXPECT_EQ(results.checkWritable().error().problem, readOnly.error().problem);
    EXPECT_EQ(testing::recordsIn(path).size(), 94u);
}

/// A disk that fills up between a run's record and its answers: the run is recorded, the answers
/// failure is told naming the file, no part of a block is left, and the next run's answers are
/// written once there is room.
TEST_F(FullDisk, AnswersThatDoNotFitNeverCostTheRun) {
    const auto path = m_folder / "disk" / "成績累積データ.dat";
    // The record fits the results file's first page; the answers need a page of their own.
    testing::appendRecords(path, {testing::runRecord(1, 1, 41)});
    fillDisk(m_folder / "disk" / "filler");

    testing::FakeClock clock;
    PosixRecordFile file;
    PosixRecordFile answersFile;
    ResultsFile results(file, path, clock, [](int) {});
    results.keepAnswers(answersFile);
    AnswerRecord answer;
    answer.boxes = {"100", "200", "300"};
    const auto recorded = results.AppendResultRecord({7, 1, 60, std::nullopt}, std::array{answer});
    ASSERT_TRUE(testing::succeeded(recorded));
    EXPECT_EQ(testing::recordsIn(path).size(), 2u);
    ASSERT_TRUE(recorded->answersProblem);
    EXPECT_NE(recorded->answersProblem->text().find("生徒0007.dat"), std::string::npos);
    EXPECT_NE(recorded->answersProblem->text().find("ディスクがいっぱいです"), std::string::npos);
    const auto answers = answersFileOf(path, 2026, 7);
    EXPECT_EQ(std::filesystem::exists(answers) ? std::filesystem::file_size(answers) : 0u, 0u);

    std::filesystem::remove(m_folder / "disk" / "filler");
    clock.advanceSeconds(60);
    const auto next = results.AppendResultRecord({7, 1, 50, std::nullopt}, std::array{answer});
    ASSERT_TRUE(testing::succeeded(next));
    EXPECT_EQ(next->answersProblem, std::nullopt);
    EXPECT_EQ(loggedAnswersProblems(path).failures.size(), 0u)
        << "the full disk had no room for the log either";
    EXPECT_EQ(std::filesystem::file_size(answers), kRunHeadSize + kAnswerSlotSize);
}

}  // namespace
}  // namespace gaisan

#include "stores/results/SharedFilesCheck.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "platform/PosixRecordFile.h"
#include "stores/results/DailyBackup.h"
#include "stores/results/ResultsFile.h"
#include "support/ExpectedAssertions.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

constexpr CivilDate kToday{2026, 12, 10};

class SharedFilesCheckTest : public ::testing::Test {
public:  // for the arrangements of the table below
    std::filesystem::path path() const { return folder / "成績累積データ.dat"; }
    std::filesystem::path backups() const { return backupFolderOf(path()); }
    void append(const CivilDate& day) {
        const testing::FakeClock clock(day);
        ResultsFile results(file, path(), clock, [](int) {});
        ASSERT_TRUE(testing::succeeded(results.AppendResultRecord({1, 1, 50, std::nullopt})));
    }
    std::vector<std::string> problems() { return sharedFileProblemsOf(file, path(), kToday); }

    testing::TempFolder folder;
    PosixRecordFile file;
};

TEST_F(SharedFilesCheckTest, RunsRecordedByTheProgramOnSeveralDaysLeaveNothingToTell) {
    append({2026, 12, 8});
    append({2026, 12, 9});
    append(kToday);
    append(kToday);
    EXPECT_EQ(problems(), std::vector<std::string>{});
}

TEST_F(SharedFilesCheckTest, EachProblemIsToldNamingItsFileOrFolder) {
    struct Case {
        const char* name;
        std::function<void(SharedFilesCheckTest&)> arrange;
        std::function<std::filesystem::path(const SharedFilesCheckTest&)> named;
    };
    const Case cases[] = {
        {"today's runs after earlier ones, and no copy of today",
         [](SharedFilesCheckTest& t) {
             testing::appendRecords(t.path(), {testing::runRecord(1, 1, 40, {2026, 12, 9}),
                                               testing::runRecord(2, 1, 41, kToday)});
         },
         [](const SharedFilesCheckTest& t) { return backupFileOf(t.path(), kToday); }},
        {"a file in the backup folder's place",
         [](SharedFilesCheckTest& t) { t.folder.writeBytes("成績バックアップ", "not a folder"); },
         [](const SharedFilesCheckTest& t) { return t.backups(); }},
        {"more copies than are kept",
         [](SharedFilesCheckTest& t) {
             for (int day = 1; day <= static_cast<int>(kKeptBackups) + 1; ++day) {
                 std::filesystem::create_directories(t.backups());
                 std::ofstream(backupFileOf(t.path(), {2026, 11, day}));
             }
         },
         [](const SharedFilesCheckTest& t) {
             return backupFileOf(t.path(), {2026, 11, 1});
         }},
        {"a results file only its owner may write, in a folder all may write",
         [](SharedFilesCheckTest& t) {
             t.append({2026, 12, 9});
             ::chmod(t.folder.path().c_str(), 0777);
             ::chmod(t.path().c_str(), 0644);
         },
         [](const SharedFilesCheckTest& t) { return t.path(); }},
        {"a backup folder only its owner may write, in a folder all may write",
         [](SharedFilesCheckTest& t) {
             ::chmod(t.folder.path().c_str(), 0777);
             std::filesystem::create_directory(t.backups());
             ::chmod(t.backups().c_str(), 0755);
         },
         [](const SharedFilesCheckTest& t) { return t.backups(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(backups());
        std::filesystem::remove(path());
        ::chmod(folder.path().c_str(), 0700);
        c.arrange(*this);
        const std::vector<std::string> told = problems();
        ASSERT_EQ(told.size(), 1u) << (told.empty() ? "" : told.front());
        EXPECT_TRUE(told.front().starts_with(c.named(*this).string() + ": ")) << told.front();
    }
}

TEST_F(SharedFilesCheckTest, ACopyIsOnlyMissedWhenTheDayBeganWithRecordsToCopy) {
    // Today's first run found an empty file: there was nothing to copy.
    testing::appendRecords(
        path(), {testing::runRecord(1, 1, 40, kToday), testing::runRecord(2, 1, 41, kToday)});
    EXPECT_EQ(problems(), std::vector<std::string>{});
    // No run yet today: yesterday's copy is whatever it is, today's is still to come.
    std::filesystem::remove(path());
    testing::appendRecords(path(), {testing::runRecord(1, 1, 40, {2026, 12, 8}),
                                    testing::runRecord(2, 1, 41, {2026, 12, 9})});
    EXPECT_EQ(problems(), std::vector<std::string>{});
}

}  // namespace
}  // namespace gaisan

#include "rules/student/ResultsAccess.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "base/AppState.h"
#include "support/ExpectedAssertions.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/ScriptedRecordFile.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// The access as the program makes it before the configuration is loaded, with a wait and a
/// notice that only note what they were asked.
class ResultsAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        state->profile.LevelCount = 2;
        state->criteria.TargetTime.at(1) = 60;
        state->criteria.PointRate.at(1) = 1;
        state->login.StudentIndex = 4;
    }
    /// What the configuration load would set.
    void configure() { state->locations.ProgramDataFolder = folder.path().string() + "/"; }

    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    testing::TempFolder folder;
    testing::FakeClock clock{{2026, 12, 10}, 10 * 3600.0};
    testing::ScriptedRecordFile file;
    std::vector<std::string> events;
    ResultsAccess access{
        *state, file, clock,
        [this](int seconds) { events.push_back("wait " + std::to_string(seconds)); },
        [this](const std::string& text) { events.push_back(text); }};
};

TEST_F(ResultsAccessTest, TheFileIsTheOneOfTheDataFolderConfiguredAfterwards) {
    configure();
    ASSERT_TRUE(testing::succeeded(access.checkWritable()));
    EXPECT_TRUE(std::filesystem::exists(folder / "成績累積データ.dat"));
    ASSERT_TRUE(testing::succeeded(access.recount()));
    state->login.CurrentLevel = 1;
    state->run.RecordedTime = 48;
    ASSERT_TRUE(testing::succeeded(access.recordRun(1)));
    EXPECT_EQ(state->counts.NewPersonalBest, 1);

    ASSERT_TRUE(testing::succeeded(access.recount()));
    EXPECT_EQ(state->counts.RunCount.at(1, 4), 1);
    std::vector<LoadedRecord> records;
    ASSERT_TRUE(testing::succeeded(access.readGraphRecords(records)));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].seconds, 48);
    EXPECT_TRUE(events.empty());
}

TEST_F(ResultsAccessTest, TheMenusReadsWaitASecondAndTellTheUserBeforeEveryRetry) {
    configure();
    testing::appendRecords(folder / "成績累積データ.dat", {testing::runRecord(4, 1, 50)});
    file.busyOpens = 2;
    RunListRows rows;
    ASSERT_TRUE(testing::succeeded(access.readRunList(
        {RunList::Today, RankingView::Time, 0, "全学年", {2026, 12, 10}}, {}, rows)));
    const std::string notice = "先生を呼びなさいほかのコンピュータが記録中です70";
    EXPECT_EQ(events, (std::vector<std::string>{"wait 1", notice, "wait 1", notice}));
    EXPECT_EQ(rows.at(1).size(), 1u);

    events.clear();
    file.busyOpens = 1;
    std::vector<LoadedRecord> records;
    ASSERT_TRUE(testing::succeeded(access.readGraphRecords(records)));
    EXPECT_EQ(events, (std::vector<std::string>{"wait 1", notice}));
    EXPECT_EQ(records.size(), 1u);

    // Any other error ends the program, named after the graph button as the lists are after theirs.
    file.readError =
        FileError{FileErrorKind::Other, 57, 5, "ファイルの読み書きでエラーが起きました"};
    const auto failure = access.readGraphRecords(records);
    ASSERT_FALSE(failure);
    EXPECT_EQ(failure.error().problem, "Command19ファイルの読み書きでエラーが起きました57");
}

}  // namespace
}  // namespace gaisan

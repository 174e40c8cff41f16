#include "rules/menu/RunLists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "base/AppState.h"
#include "platform/PosixRecordFile.h"
#include "support/ExpectedAssertions.h"
#include "support/RecordFiles.h"
#include "support/ScriptedRecordFile.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

using Rows = std::vector<std::string>;

const CivilDate kToday{2026, 12, 10};

CivilDate daysAgo(int days) { return dateOfSerial(daySerial(kToday) - days); }

/// Three levels, three students of grades 3, 8 and 5 with student 1 logged in, and a results
/// file in a temporary folder.
class RunListsTest : public ::testing::Test {
protected:
    void SetUp() override {
        state->profile.LevelCount = 3;
        state->roster.SchoolYear = 2026;
        student(1, "佐藤　陽菜", 3);
        student(2, "田中", 8);
        student(3, "鈴木", 5);
        state->criteria.TargetTime.at(1) = 60;
        state->criteria.TargetTime.at(2) = 100;
        state->criteria.TargetTime.at(3) = 60;
        state->login.StudentIndex = 1;
    }
    void student(int index, const std::string& name, int grade) {
        state->roster.RosterNames.at(index) = name + "    ";
        state->roster.RosterYear.at(index) = static_cast<std::int16_t>(2026 - grade - 6);
    }
    std::filesystem::path path() const { return folder / "成績累積データ.dat"; }
    void write(const std::vector<ResultRecord>& records) {
        testing::appendRecords(path(), records);
    }

    Expected<void> read(const RunListQuery& query, RunListRows& rows, RecordFile& from) {
        const RecordReadEvents events{
            [this](const FileError& error) { busy.push_back(error.number); },
            [this](std::uint64_t record, std::uint64_t records) {
                progress.emplace_back(record, records);
            }};
        return readRunList(*state, from, path(), query, events, rows);
    }
    RunListRows read(const RunListQuery& query) {
        RunListRows rows;
        EXPECT_TRUE(testing::succeeded(read(query, rows, file)));
        EXPECT_EQ(rows.size(), 4u);
        return rows;
    }
    static RunListQuery query(RunList list, RankingView view = RankingView::Time,
                              int periodDays = 30, std::string band = "全学年") {
        return {list, view, periodDays, std::move(band), kToday};
    }

    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    testing::TempFolder folder;
    PosixRecordFile file;
    std::vector<int> busy;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> progress;
};

TEST_F(RunListsTest, TodaysRunsOfEveryStudentFromTheNewestThousandRecords) {
    std::vector<ResultRecord> records = {
        testing::runRecord(2, 1, 60),              // 1: before the newest 1000
        testing::runRecord(1, 1, 60, daysAgo(1)),  // 2: yesterday
        testing::runRecord(1, 4, 60),              // 3: a level the menu does not show
    };
    for (int i = 4; i <= 1000; ++i) records.push_back(testing::runRecord(3, 2, 100));
    records.push_back(
        testing::runRecord(1, 1, 99999, kToday, 13 * 3600 / 86400.0 + 40 * 60 / 86400.0));
    write(records);

    const RunListRows rows = read(query(RunList::Today));
    EXPECT_EQ(rows[1], (Rows{"　　× 13:40●佐藤　陽菜●"}));
    ASSERT_EQ(rows[2].size(), 997u);
    EXPECT_EQ(rows[2][0], " 100秒 12:00⑤鈴木　　　⑤5");
    EXPECT_TRUE(rows[3].empty());
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), (std::pair<std::uint64_t, std::uint64_t>{2, 1001}));
}

TEST_F(RunListsTest, APeriodIsReadFromTheNewestTwentyThousandRecordsOfAFileOfAnyLength) {
    // More records than a 16-bit record number can count.
    std::vector<ResultRecord> records;
    for (int i = 1; i <= 40000; ++i) records.push_back(testing::runRecord(1, 1, i));
    write(records);
    const RunListRows rows = read(query(RunList::Period));
    ASSERT_EQ(rows[1].size(), 20000u);
    EXPECT_EQ(rows[1].front(), "20001秒 12/10●佐藤　陽菜●0") << "record 20001 first";
    EXPECT_EQ(rows[1].back(), "40000秒 12/10●佐藤　陽菜●0") << "record 40000 last";
}

TEST_F(RunListsTest, APeriodsRunsInFileOrderByViewAndBand) {
    write({
        testing::runRecord(2, 1, 50, daysAgo(10)), testing::runRecord(1, 1, 60),
        testing::runRecord(3, 2, 99999, daysAgo(3)),
        testing::runRecord(3, 3, 40, daysAgo(30)),  // a day before the 30 days
    });
    const struct {
        RankingView view;
        const char* band;
        int periodDays;
        Rows level1;
        Rows level2;
    } cases[] = {
        {RankingView::Time,
         "全学年",
         30,
         {"  50秒 11/30Ⅱ田中　　　Ⅱ5", "  60秒 12/10●佐藤　陽菜●5"},
         {"　　× 12/07⑤鈴木　　　⑤"}},
        {RankingView::Points,
         "全学年",
         30,
         {"  5 11/30Ⅱ田中　　　Ⅱ50秒", "  5 12/10●佐藤　陽菜●60秒"},
         {" × 12/07⑤鈴木　　　⑤"}},
        {RankingView::Time,
         "小学生全体",
         30,
         {"  60秒 12/10●佐藤　陽菜●5"},
         {"　　× 12/07⑤鈴木　　　⑤"}},
        {RankingView::Time, "中２", 30, {"  50秒 11/30Ⅱ田中　　　Ⅱ5"}, {}},
        {RankingView::Time,
         "全学年",
         4,
         {"  60秒 12/10●佐藤　陽菜●5"},
         {"　　× 12/07⑤鈴木　　　⑤"}},
        {RankingView::Time, "全学年", 3, {"  60秒 12/10●佐藤　陽菜●5"}, {}},
    };
    for (const auto& c : cases) {
        const RunListRows rows = read(query(RunList::Period, c.view, c.periodDays, c.band));
        EXPECT_EQ(rows[1], c.level1) << c.band << " " << c.periodDays;
        EXPECT_EQ(rows[2], c.level2) << c.band << " " << c.periodDays;
        EXPECT_TRUE(rows[3].empty());
    }
}

TEST_F(RunListsTest, PersonalRunsAreTheStudentsOwnOfTheLastTenYears) {
    write({
        testing::runRecord(1, 1, 70, daysAgo(3650)),
        testing::runRecord(1, 2, 45, daysAgo(3649)),
        testing::runRecord(2, 1, 30),
        testing::runRecord(1, 1, 60),
        testing::runRecord(1, 3, 99998),
    });
    const RunListRows rows = read(query(RunList::Personal));
    EXPECT_EQ(rows[1], (Rows{"2026/12/10 12:00:00  60秒"}));
    EXPECT_EQ(rows[2], (Rows{"2016/12/13 12:00:00  45秒"}));
    EXPECT_EQ(rows[3], (Rows{"2026/12/10 12:00:00　　×"}));

    // The band applies to the student's own grade too.
    const RunListRows outside = read(query(RunList::Personal, RankingView::Time, 0, "中学生全体"));
    for (int level = 1; level <= 3; ++level) EXPECT_TRUE(outside[level].empty()) << level;
}

TEST_F(RunListsTest, RecordsNoListCanShowArePassedOver) {
    ResultRecord noDate = testing::runRecord(1, 1, 40);
    noDate.RecordDate = std::numeric_limits<double>::quiet_NaN();
    ResultRecord farFuture = testing::runRecord(1, 1, 41);
    farFuture.RecordDate = 1e300;
    ResultRecord noClock = testing::runRecord(1, 1, 42);
    noClock.RecordClock = std::numeric_limits<double>::infinity();
    write({testing::runRecord(0, 1, 30), testing::runRecord(6000, 1, 31),
           testing::runRecord(-3, 1, 32), testing::runRecord(1, 0, 33),
           testing::runRecord(1, -1, 34), testing::runRecord(1, 36, 35),
           testing::runRecord(1, 1, -5), noDate, farFuture, noClock, testing::runRecord(1, 1, 60)});
    for (const RunList list : {RunList::Today, RunList::Period, RunList::Personal}) {
        const RunListRows rows = read(query(list, RankingView::Time, 3650));
        EXPECT_EQ(rows[1].size(), 1u);
        EXPECT_TRUE(rows[2].empty() && rows[3].empty());
    }
}

TEST_F(RunListsTest, AMissingFileGivesEmptyListsAndIsCreated) {
    const RunListRows rows = read(query(RunList::Period));
    for (const Rows& level : rows) EXPECT_TRUE(level.empty());
    EXPECT_TRUE(std::filesystem::exists(path()));
}

TEST_F(RunListsTest, ABusyFileIsTriedAgainAndAnyOtherErrorEndsTheListWithItsLabel) {
    write({testing::runRecord(1, 1, 60)});
    testing::ScriptedRecordFile scripted;
    scripted.busyOpens = 2;
    RunListRows rows;
    EXPECT_TRUE(testing::succeeded(read(query(RunList::Today), rows, scripted)));
    EXPECT_EQ(busy, (std::vector<int>{70, 70}));
    EXPECT_EQ(rows[1].size(), 1u);

    const struct {
        RunList list;
        const char* message;
    } cases[] = {
        {RunList::Today, "Command5ファイルの読み書きでエラーが起きました57"},
        {RunList::Period, "Command7ファイルの読み書きでエラーが起きました57"},
        {RunList::Personal, "Command16ファイルの読み書きでエラーが起きました57"},
    };
    for (const auto& c : cases) {
        scripted.readError =
            FileError{FileErrorKind::Other, 57, 5, "ファイルの読み書きでエラーが起きました"};
        const auto failure = read(query(c.list), rows, scripted);
        ASSERT_FALSE(failure);
        EXPECT_EQ(failure.error().problem, c.message);
    }
}

}  // namespace
}  // namespace gaisan

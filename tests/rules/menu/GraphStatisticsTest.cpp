#include "rules/menu/GraphStatistics.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/AppState.h"

namespace gaisan {
namespace {

constexpr int kLevel = 3;
constexpr int kSchoolYear = 2026;

/// A school of 1004 listed students on kLevel: 1000 first-graders who all share the best time,
/// 30 s, without points, then four students whose ranks are past 999:
///   1001 中１, 40 s, 120000 points in all, 10 today
///   1002 中１, 45 s, 300 points, none today
///   1003 中２, no record, no points
///   1004 小１, failed runs only (99998), 5 points, all today
class GraphStatisticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        state->roster.SchoolYear = kSchoolYear;
        for (int student = 1; student <= 1000; ++student) list(student, 1, 30, 0, 0);
        list(1001, 7, 40, 120000, 10);
        list(1002, 7, 45, 300, 0);
        list(1003, 8, kNoTime, 0, 0);
        list(1004, 1, kFailedRunTime, 5, 5);
    }

    void list(int student, int grade, std::int32_t bestTime, std::int32_t total,
              std::int32_t today) {
        RosterTables& roster = state->roster;
        roster.RosterList.at(++roster.RosterListCount) = static_cast<std::int16_t>(student);
        roster.RosterNames.at(student) = std::to_string(student);
        roster.RosterYear.at(student) = static_cast<std::int16_t>(kSchoolYear - grade - 6);
        state->counts.BestTime.at(kLevel, student) = bestTime;
        state->counts.TotalPoints.at(kLevel, student) = total;
        state->counts.TodayPoints.at(kLevel, student) = today;
    }

    std::unique_ptr<AppState> state = std::make_unique<AppState>();
};

TEST_F(GraphStatisticsTest, RanksAndPointsComeFromTheLevelsRankingsInTheBand) {
    const struct {
        const char* what;
        int student;
        const char* band;
        LevelStatistics expected;
    } cases[] = {
        {"tied first, without points", 1, "全学年", {"  1", "  4", 0, 120305, 3}},
        {"ranks past 999 written whole, points past 99999 counted whole",
         1001,
         "全学年",
         {"1001", "  1", 120000, 120305, 3}},
        {"no record: no time rank, but a points rank",
         1003,
         "全学年",
         {"---", "  4", 0, 120305, 3}},
        {"failed runs only: ranked after every time",
         1004,
         "全学年",
         {"1003", "  3", 5, 120305, 3}},
        {"no points today: still ranked by the total, whatever the menu's lists show",
         1002,
         "全学年",
         {"1002", "  2", 300, 120305, 3}},
        {"in the band: the ranks stay those among everyone",
         1002,
         "中学生全体",
         {"1002", "  2", 300, 120300, 2}},
        {"outside the band: no ranks and no points", 1004, "中学生全体", {"", "", 0, 120300, 2}},
    };
    for (const auto& c : cases) {
        const LevelStatistics s = graphStatistics(*state, c.student, kLevel, c.band);
        EXPECT_EQ(s.timeRank, c.expected.timeRank) << c.what;
        EXPECT_EQ(s.pointsRank, c.expected.pointsRank) << c.what;
        EXPECT_EQ(s.points, c.expected.points) << c.what;
        EXPECT_EQ(s.pointsSumAll, c.expected.pointsSumAll) << c.what;
        EXPECT_EQ(s.pointsHolders, c.expected.pointsHolders) << c.what;
    }
}

}  // namespace
}  // namespace gaisan

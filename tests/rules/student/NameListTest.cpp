#include "rules/student/NameList.h"

#include <gtest/gtest.h>

#include <memory>

namespace gaisan {
namespace {

RosterEntry entry(int student, int rosterYear, const std::string& name) {
    RosterEntry e;
    e.StudentIndex = static_cast<std::int16_t>(student);
    e.RosterYear = static_cast<std::int16_t>(rosterYear);
    e.Name = name + std::string(20 - 3, ' ');  // roster names are held padded
    return e;
}

class NameListTest : public ::testing::Test {
protected:
    std::unique_ptr<CountTables> counts = std::make_unique<CountTables>();
};

TEST_F(NameListTest, FigureTextsHaveFixedWidths) {
    counts->TodayRunCounts.at(1, 5) = 2;
    counts->TodayRunCounts.at(3, 5) = 1;
    counts->TodayPoints.at(1, 5) = 15;
    counts->RunCount.at(2, 5) = 12;
    counts->TotalPoints.at(1, 5) = 200;
    counts->TotalPoints.at(4, 5) = 30;
    counts->TodayRunCounts.at(1, 6) = 1234;
    const FigureTexts some = figureTextsOf(5, *counts);
    EXPECT_EQ(some.todayRuns, "  3回");
    EXPECT_EQ(some.todayPoints, "  15");
    EXPECT_EQ(some.totalRuns, "   12回");
    EXPECT_EQ(some.totalPoints, "    230");
    const FigureTexts none = figureTextsOf(7, *counts);
    EXPECT_EQ(none.todayRuns, "     ");
    EXPECT_EQ(none.todayPoints, "  　");
    EXPECT_EQ(none.totalRuns, "     　");
    EXPECT_EQ(none.totalPoints, "       ");
    EXPECT_EQ(figureTextsOf(6, *counts).todayRuns, "234回") << "only the last three digits";
}

TEST_F(NameListTest, RowsLineUpNamesAndFigures) {
    counts->TodayPoints.at(1, 12) = 15;
    counts->TotalPoints.at(1, 12) = 230;
    const struct {
        const char* name;
        RosterEntry entry;
        int grade;
        FigureMode mode;
        std::string staging;
    } cases[] = {
        {"a third-grader with points", entry(12, 2015, "山田花"), 3,
         FigureMode::TodayAndTotalPoints, "2015小3 山田花　　　  15/    230*12"},
        {"a student without runs", entry(4, 2015, "林樹"), 3, FigureMode::TodayAndTotalPoints,
         "2015小3 林樹　　　　  　/       *4"},
        {"a seven-character name gets no fill", entry(8, 2015, "勅使河原　美咲"), 3,
         FigureMode::TodayAndTotalPoints, "2015小3 勅使河原　美咲  　/       *8"},
        {"a pre-school child in mode 0", entry(30, 2021, "岡田　ひより"), -1,
         FigureMode::TodayAndTotalRuns, "2021幼2 岡田　ひより　　     /     　*30"},
        {"a pre-school child in mode 1", entry(30, 2021, "岡田　ひより"), -1,
         FigureMode::TodayAndTotalPoints, "2021幼2 岡田　ひより  　/       *30"},
        {"separators in a name are shown in full width", entry(9, 2015, "A*B/C"), 3,
         FigureMode::TodayAndTotalPoints, "2015小3 A＊B／C　  　/       *9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(stagingRowOf(c.entry, c.grade, c.mode, *counts), c.staging) << c.name;
    }
}

TEST_F(NameListTest, TheListShowsTheYoungestFirstWithinTheBand) {
    const std::vector<std::string> staging = {
        "2013中1 井上　颯太　  　/       *16",
        "2018小2 鈴木　蓮　　  　/       *2",
        "2015小5 渡辺　さくら  　/       *6",
        "2018小2 森　結菜　　  　/       *21",
    };
    const NameList all = nameListOf(staging, 2026, "全学年");
    ASSERT_EQ(all.rows.size(), 5u);
    EXPECT_EQ(all.rows[0], "－－－－－－");
    EXPECT_EQ(all.rows[1], "小2 鈴木　蓮　　  　/       ");
    EXPECT_EQ(all.rows[2], "小2 森　結菜　　  　/       ");
    EXPECT_EQ(all.rows[4], "中1 井上　颯太　  　/       ");
    EXPECT_EQ(all.indexRows[0], "小2 鈴木　蓮　　  　/       *2");
    EXPECT_EQ(studentOfIndexRow(all.indexRows[3]), 16);
    EXPECT_EQ(all.students, (std::vector<int>{2, 21, 6, 16}));

    const NameList elementary = nameListOf(staging, 2026, "小学生全体");
    EXPECT_EQ(elementary.rows.size(), 4u);
    EXPECT_EQ(elementary.students, (std::vector<int>{2, 21, 6}));
    EXPECT_EQ(nameListOf(staging, 2026, "中１").rows.size(), 2u);
    EXPECT_EQ(nameListOf(staging, 2026, "どこにもない").rows.size(), 1u);
    EXPECT_EQ(nameListOf({}, 2026, "全学年").rows, std::vector<std::string>{"－－－－－－"});
}

TEST_F(NameListTest, ChosenRowsGiveTheirNameAndStudent) {
    EXPECT_EQ(chosenRowText("小2 鈴木　蓮　　  　/       "), "小2 鈴木　蓮　　");
    EXPECT_EQ(rowTextBeforeFigures("小2 鈴木　蓮　　  　/       "), "小2 鈴木　蓮　　  　");
    EXPECT_EQ(studentOfIndexRow("小2 鈴木　蓮*4321"), 4321);
    EXPECT_EQ(studentOfIndexRow("no index"), 0);
}

}  // namespace
}  // namespace gaisan

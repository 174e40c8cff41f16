#include "rules/menu/Ranking.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "base/AppState.h"
#include "rules/menu/RowTexts.h"

namespace gaisan {
namespace {

using Rows = std::vector<std::string>;

TEST(GradeMark, MarksElementaryAndJuniorHighGradesOnly) {
    const struct {
        int grade;
        const char* mark;
    } cases[] = {
        {1, "①"}, {2, "②"}, {3, "③"},  {4, "④"},   {5, "⑤"},   {6, "⑥"},   {7, "Ⅰ"},
        {8, "Ⅱ"}, {9, "Ⅲ"}, {0, "　"}, {-2, "　"}, {10, "　"}, {13, "　"},
    };
    for (const auto& c : cases) EXPECT_EQ(GradeMark(c.grade), c.mark) << "grade " << c.grade;
}

TEST(SortRanking, EqualKeysKeepTheirInputOrderAndOnlyPositionsOneToNMove) {
    std::vector<std::int32_t> keys = {-1, 5, 3, 5, 3, 5, 3, 0};
    std::vector<int> students = {99, 1, 2, 3, 4, 5, 6, 77};
    SortRanking(6, keys, students);
    EXPECT_EQ(keys, (std::vector<std::int32_t>{-1, 3, 3, 3, 5, 5, 5, 0}));
    EXPECT_EQ(students, (std::vector<int>{99, 2, 4, 6, 1, 3, 5, 77}));
}

TEST(SortRanking, GivesTheStableOrderOnRandomKeys) {
    std::mt19937 random(20260510);
    for (int n : {0, 1, 2, 3, 7, 16, 33, 100, 257, 2000, 2345}) {
        for (int keyRange : {2, 10, 1000000}) {
            std::vector<std::int32_t> keys(n + 1, 0);
            std::vector<int> students(n + 1, 0);
            std::uniform_int_distribution<std::int32_t> key(0, keyRange - 1);
            for (int i = 1; i <= n; ++i) {
                keys[i] = key(random);
                students[i] = i;
            }
            std::vector<int> expected(students.begin() + 1, students.end());
            std::stable_sort(expected.begin(), expected.end(),
                             [&](int a, int b) { return keys[a] < keys[b]; });

            std::vector<std::int32_t> sortedKeys = keys;
            SortRanking(n, sortedKeys, students);
            EXPECT_EQ(std::vector<int>(students.begin() + 1, students.end()), expected)
                << n << " keys below " << keyRange;
            EXPECT_TRUE(std::is_sorted(sortedKeys.begin() + std::min(n, 1), sortedKeys.end()));
        }
    }
}

TEST(SortRanking, RefusesArraysWithoutPositionN) {
    std::vector<std::int32_t> keys(3);
    std::vector<int> students(5);
    EXPECT_THROW(SortRanking(4, keys, students), std::invalid_argument);
}

/// "s" and the number: a name of up to five characters for up to four digits.
std::string numbered(int student) {
    std::string name = "s";
    name += std::to_string(student);
    return name;
}

constexpr int kLevel = 2;
constexpr int kSchoolYear = 2026;

/// A roster of listed students and their results on kLevel.
class RankLevel : public ::testing::Test {
protected:
    void SetUp() override { state->roster.SchoolYear = kSchoolYear; }

    /// Lists student `index` next, named `name` (held padded to 20 characters as the roster
    /// file's reader does) and in grade `grade`.
    void list(int index, const std::string& name, int grade) {
        RosterTables& roster = state->roster;
        roster.RosterList.at(++roster.RosterListCount) = static_cast<std::int16_t>(index);
        roster.RosterNames.at(index) =
            name + std::string(20 - std::min<std::size_t>(20, name.size()), ' ');
        roster.RosterYear.at(index) = static_cast<std::int16_t>(kSchoolYear - grade - 6);
    }
    void bestTime(int index, std::int32_t seconds) {
        state->counts.BestTime.at(kLevel, index) = seconds;
    }
    void points(int index, std::int32_t total, std::int32_t today) {
        state->counts.TotalPoints.at(kLevel, index) = total;
        state->counts.TodayPoints.at(kLevel, index) = today;
    }
    LevelRanking rank(RankingView view, PointsBasis basis = PointsBasis::Total,
                      std::string_view band = "全学年") const {
        return rankLevel(*state, kLevel, view, basis, band);
    }

    std::unique_ptr<AppState> state = std::make_unique<AppState>();
};

TEST_F(RankLevel, TimeViewRanksTiesTogetherInRosterOrderWithFailuresAndNoRecordLast) {
    list(11, "ながい名前の人", 4);
    list(12, "たろう", 7);
    list(13, "はなこ", 1);
    list(14, "Ken", 12);
    list(15, "じろう", 6);
    list(16, "さぶろう", 9);
    list(17, "まだ", 3);
    bestTime(11, 60);
    bestTime(12, 50);
    bestTime(13, 40);
    bestTime(14, 50);
    bestTime(15, 99998);
    bestTime(16, 12345);
    // 17 has no record.
    state->login.StudentIndex = 14;

    const LevelRanking ranking = rank(RankingView::Time);
    EXPECT_EQ(ranking.rows, (Rows{
                                "1①はなこ　　    40 　",
                                "2Ⅰたろう　　    50 　",
                                "2●Ken　　    50 ●",
                                "4④ながい名前    60 　",
                                "5Ⅲさぶろう　 12345 　",
                                "6⑥じろう　　*失敗* 　",
                                "--③まだ　　　------ 　",
                            }));
    EXPECT_EQ(ranking.scrollRow, 1);
}

TEST_F(RankLevel, TheTeachersListsOpenAtTheTopThoughTheirRowIsMarked) {
    for (int student = 1; student <= 12; ++student) {
        list(student, "生徒" + std::to_string(student), 3);
        bestTime(student, 10 + student);
    }
    list(13, "先生", 3);  // no record: the last row
    state->login.StudentIndex = 13;
    for (const char* name : {"先生", "先生 ", "先生方"}) {
        state->login.StudentName = name;
        const LevelRanking ranking = rank(RankingView::Time);
        ASSERT_EQ(ranking.rows.size(), 13u);
        EXPECT_EQ(ranking.rows.back(), "--●先生　　　------ ●");
        // Only the teacher's own name is the teacher's; a student named "先生方" is a student.
        const bool teacher = std::string(name) != "先生方";
        EXPECT_EQ(ranking.scrollRow, teacher ? std::nullopt : std::optional<int>(11)) << name;
    }
}

TEST_F(RankLevel, EachRowNamesItsStudentAndItsWholeRank) {
    list(21, "はなこ", 1);
    list(22, "まだ", 3);
    list(23, "たろう", 7);
    for (int student = 24; student <= 130; ++student) list(student, numbered(student), 2);
    bestTime(21, 40);
    bestTime(23, 99998);
    for (int student = 24; student <= 130; ++student) bestTime(student, 41);
    const LevelRanking ranking = rank(RankingView::Time);
    ASSERT_EQ(ranking.rows.size(), 110u);
    EXPECT_EQ(ranking.rows[108], "09Ⅰたろう　　*失敗* 　");  // the row keeps the last two digits
    EXPECT_EQ(ranking.rows[109], "--③まだ　　　------ 　");
    EXPECT_EQ(std::vector<int>(ranking.students.begin(), ranking.students.begin() + 2),
              (std::vector<int>{21, 24}));
    EXPECT_EQ(std::vector<int>(ranking.students.end() - 2, ranking.students.end()),
              (std::vector<int>{23, 22}));
    EXPECT_EQ(std::vector<int>(ranking.ranks.begin(), ranking.ranks.begin() + 3),
              (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(std::vector<int>(ranking.ranks.end() - 2, ranking.ranks.end()),
              (std::vector<int>{109, 0}));  // 0: no record
}

TEST_F(RankLevel, NamesAreCutOrPaddedToFiveCharacters) {
    const struct {
        const char* name;
        const char* shown;
    } cases[] = {
        {"あいうえおかきく", "あいうえお"},
        {"あいうえお", "あいうえお"},
        {"ab", "ab　　　"},
        {"山田 花子", "山田 花子"},
        {"ゆき　", "ゆき　　　"},  // a full-width space of the name itself stays
        {"", "　　　　　"},
    };
    for (const auto& c : cases) {
        state->roster.RosterListCount = 0;
        list(1, c.name, 2);
        bestTime(1, 7);
        // A one-digit time is right-aligned in five characters only.
        EXPECT_EQ(rank(RankingView::Time).rows, (Rows{std::string("1②") + c.shown + "    7 　"}))
            << c.name;
    }
}

TEST_F(RankLevel, TotalPointsShareARankOnEqualTotalsAndAreOrderedByTodaysPoints) {
    list(1, "あ", 1);
    list(2, "い", 1);
    list(3, "う", 1);
    list(4, "え", 1);
    list(5, "お", 1);
    points(1, 100, 5);
    points(2, 100, 9);
    points(3, 123456, 1234);
    points(4, 50, 0);
    points(5, 100, 5);
    const LevelRanking ranking = rank(RankingView::Points);
    EXPECT_EQ(ranking.rows, (Rows{
                                "1①う　　　　234/23456",
                                "2①い　　　　  9/  100",
                                "2①あ　　　　  5/  100",
                                "2①お　　　　  5/  100",
                                "5①え　　　　  0/   50",
                            }));
    EXPECT_EQ(ranking.scrollRow, std::nullopt) << "the current student is not listed";
}

TEST_F(RankLevel, TodaysRankingLeavesOutStudentsWithoutTodaysPoints) {
    list(1, "いち", 3);
    list(2, "に", 3);
    list(3, "さん", 3);
    list(4, "よん", 3);
    // Totals of 1000 or more must not outweigh a single point of today's.
    points(1, 2000, 5);
    points(2, 10, 6);
    points(3, 5000, 0);
    points(4, 300, 6);
    state->login.StudentIndex = 3;
    const LevelRanking ranking = rank(RankingView::Points, PointsBasis::Today);
    EXPECT_EQ(ranking.rows, (Rows{
                                "1③よん　　　  6/  300",
                                "1③に　　　　  6/   10",
                                "3③いち　　　  5/ 2000",
                            }));
    EXPECT_EQ(ranking.scrollRow, std::nullopt) << "the current student has no row";
}

TEST_F(RankLevel, GradeBandsHideRowsButKeepEveryRank) {
    list(1, "中二", 8);
    list(2, "小三", 3);
    list(3, "中三", 9);
    list(4, "小五", 5);
    list(5, "高一", 10);
    for (int student = 1; student <= 5; ++student) bestTime(student, 10 * student);
    const Rows all = rank(RankingView::Time).rows;
    ASSERT_EQ(all.size(), 5u);

    const struct {
        const char* band;
        std::vector<int> shown;  // positions in the list of every grade
    } cases[] = {
        {"全学年", {0, 1, 2, 3, 4}},
        {"小学生全体", {1, 3}},
        {"中学生全体", {0, 2}},
        {"中２", {0}},
        {"小５", {3}},
        {"小１", {}},
        {"どれでもない", {}},
    };
    for (const auto& c : cases) {
        Rows expected;
        for (int position : c.shown) expected.push_back(all[position]);
        EXPECT_EQ(rank(RankingView::Time, PointsBasis::Total, c.band).rows, expected) << c.band;
    }
    EXPECT_EQ(all[3], "4⑤小五　　　    40 　");
}

TEST_F(RankLevel, ScrollsToTheRowAboveTheCurrentStudentsShownRow) {
    for (int student = 1; student <= 5; ++student) {
        list(student, numbered(student), student <= 2 ? 8 : 2);
        bestTime(student, student);
    }
    const struct {
        int current;
        const char* band;
        std::optional<int> scrollRow;
    } cases[] = {
        {1, "全学年", std::nullopt},  // the first row needs no scrolling
        {2, "全学年", 0},
        {5, "全学年", 3},
        {5, "小学生全体", 1},  // counted among the shown rows
        {3, "小学生全体", std::nullopt},
        {1, "小学生全体", std::nullopt},  // hidden by the band
        {0, "全学年", std::nullopt},
    };
    for (const auto& c : cases) {
        state->login.StudentIndex = c.current;
        EXPECT_EQ(rank(RankingView::Time, PointsBasis::Total, c.band).scrollRow, c.scrollRow)
            << "student " << c.current << " in " << c.band;
    }
}

TEST_F(RankLevel, RanksEveryListedStudentAndShowsTheLastTwoDigitsOfTheRank) {
    // More students than ever fitted a ranking before; the fastest are last in the roster.
    constexpr int kStudents = 2500;
    for (int student = 1; student <= kStudents; ++student) {
        list(student, numbered(student), 1);
        bestTime(student, 5000 - student);
    }
    state->login.StudentIndex = kStudents + 1 - 123;
    const LevelRanking ranking = rank(RankingView::Time);
    ASSERT_EQ(ranking.rows.size(), static_cast<std::size_t>(kStudents));

    const struct {
        int rank;
        const char* row;
    } cases[] = {
        {1, "1①s2500  2500 　"},        {9, "9①s2492  2508 　"},   {10, "10①s2491  2509 　"},
        {100, "00①s2401  2599 　"},     {123, "23●s2378  2622 ●"}, {2001, "01①s500　  4500 　"},
        {2500, "00①s1　　　  4999 　"},
    };
    for (const auto& c : cases) EXPECT_EQ(ranking.rows.at(c.rank - 1), c.row) << "rank " << c.rank;
    EXPECT_EQ(ranking.scrollRow, 121);
}

}  // namespace
}  // namespace gaisan

#include "stores/roster/Roster.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// School year 2024 with the year changing in April.
constexpr CivilDate kMay2024{2024, 5, 1};
constexpr int kApril = 4;

/// One roster line: student `index`, `rosterYear`, `name` as written (quotes included, if any),
/// `listFlag`.
std::string entryLine(int index, int rosterYear, const std::string& name, int listFlag = 0) {
    return std::to_string(index) + "," + std::to_string(rosterYear) + ",0,0," + name + "," +
           std::to_string(listFlag) + ",,\r\n";
}

std::string withoutTrailingSpaces(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

/// What the row builder was handed.
struct Row {
    int student;
    std::string name;  ///< without its padding
    int gradeNumber;
    friend bool operator==(const Row&, const Row&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Row& row) {
        return out << "{" << row.student << ", " << row.name << ", " << row.gradeNumber << "}";
    }
};

class RosterFile : public ::testing::Test {
protected:
    /// Loads `text` as the roster into `tables` and returns the rows the builder was handed.
    Expected<std::vector<Row>> load(const std::string& text, double rosterOption = 0,
                                    const CivilDate& today = kMay2024) {
        std::vector<Row> rows;
        const auto loaded =
            LoadRoster(*tables, folder.writeCp932("新名簿.txt", text), today, kApril, rosterOption,
                       [&](const RosterEntry& entry, int gradeNumber) {
                           rows.push_back({entry.StudentIndex, withoutTrailingSpaces(entry.Name),
                                           gradeNumber});
                       });
        if (!loaded) return Unexpected(loaded.error());
        return rows;
    }

    /// RosterList(1..RosterListCount).
    std::vector<int> listedStudents() const {
        return {tables->RosterList.begin() + 1,
                tables->RosterList.begin() + 1 + tables->RosterListCount};
    }

    std::string nameOf(int student) const {
        return withoutTrailingSpaces(tables->RosterNames.at(student));
    }

    testing::TempFolder folder;
    std::unique_ptr<RosterTables> tables = std::make_unique<RosterTables>();
};

TEST(Grades, SchoolYearTurnsOnTheFirstDayOfTheYearChangeMonth) {
    const struct {
        CivilDate today;
        int yearChangeMonth;
        int schoolYear;
    } cases[] = {
        {{2024, 3, 31}, 4, 2023}, {{2024, 4, 1}, 4, 2024}, {{2024, 12, 31}, 4, 2024},
        {{2024, 1, 1}, 4, 2023},  {{2024, 1, 1}, 1, 2024}, {{2024, 8, 31}, 9, 2023},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(schoolYearOf(c.today, c.yearChangeMonth), c.schoolYear)
            << c.today.year << "-" << c.today.month << "-" << c.today.day << ", month "
            << c.yearChangeMonth;
    }
}

TEST(Grades, LabelsAndPrefixesFollowTheGradeNumber) {
    const struct {
        int gradeNumber;
        std::optional<std::string> label;
        std::string prefix;
        bool preSchool;
    } cases[] = {
        {-9, std::nullopt, "幼-", true},  {-3, std::nullopt, "幼-", true},
        {-2, std::nullopt, "幼1", true},  {-1, std::nullopt, "幼2", true},
        {0, "幼３", "幼3", true},         {1, "小１", "小1", false},
        {6, "小６", "小6", false},        {7, "中１", "中1", false},
        {9, "中３", "中3", false},        {10, "高１", "高1", false},
        {11, std::nullopt, "高2", false}, {12, std::nullopt, "高3", false},
        {13, std::nullopt, "大+", false}, {40, std::nullopt, "大+", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.gradeNumber);
        EXPECT_EQ(gradeLabelOf(c.gradeNumber), c.label);
        EXPECT_EQ(GradePrefix(c.gradeNumber), c.prefix);
        EXPECT_EQ(isPreSchoolPrefix(c.prefix), c.preSchool);
    }
    for (const char* notAPrefix : {"幼", "幼4", "幼３", "", "小1"}) {
        EXPECT_FALSE(isPreSchoolPrefix(notAPrefix)) << notAPrefix;
    }
}

TEST(Grades, BandsAdmitTheirGradesAndAnyOtherNameAdmitsNobody) {
    EXPECT_EQ(gradeBands(),
              (std::vector<std::string>{"全学年", "中学生全体", "小学生全体", "中３", "中２",
                                        "中１", "小６", "小５", "小４", "小３", "小２", "小１"}));
    const struct {
        std::string band;
        std::set<int> admitted;  ///< out of −4..14
    } cases[] = {
        {"全学年", {-4, -3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {"中学生全体", {7, 8, 9}},
        {"小学生全体", {1, 2, 3, 4, 5, 6}},
        {"中３", {9}},
        {"中１", {7}},
        {"小６", {6}},
        {"小１", {1}},
        {"高１", {}},
        {"幼３", {}},
        {"小1", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        std::set<int> admitted;
        for (int g = -4; g <= 14; ++g) {
            if (InGradeBand(g, c.band)) admitted.insert(g);
        }
        EXPECT_EQ(admitted, c.admitted) << c.band;
    }
}

TEST_F(RosterFile, GradesMoveUpOnTheFirstDayOfTheYearChangeMonth) {
    const std::string roster = entryLine(1, 2015, "山田");
    EXPECT_EQ(load(roster, 0, {2024, 3, 31}).value(), (std::vector<Row>{{1, "山田", 2}}));
    EXPECT_EQ(tables->SchoolYear, 2023);
    EXPECT_EQ(tables->RosterGradeLabels.at(1), "小２");

    EXPECT_EQ(load(roster, 0, {2024, 4, 1}).value(), (std::vector<Row>{{1, "山田", 3}}));
    EXPECT_EQ(tables->SchoolYear, 2024);
    EXPECT_EQ(tables->RosterGradeLabels.at(1), "小３");
}

TEST_F(RosterFile, ListFlagDecidesTheListButEveryEntryDefinesItsStudent) {
    const std::string roster = entryLine(21, 2017, "一郎", 0) + entryLine(22, 2016, "二郎", 1) +
                               entryLine(23, 2015, "三郎", 2) + entryLine(24, 2014, "四郎", 3) +
                               entryLine(25, 2013, "五郎", 0) + entryLine(26, 2012, "六郎", 1);
    const struct {
        double rosterOption;
        std::vector<Row> rows;
    } cases[] = {
        {0, {{21, "一郎", 1}, {25, "五郎", 5}}},
        {1, {{21, "一郎", 1}, {23, "三郎", 3}, {25, "五郎", 5}}},
        {2, {{21, "一郎", 1}, {25, "五郎", 5}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rosterOption);
        tables = std::make_unique<RosterTables>();
        EXPECT_EQ(load(roster, c.rosterOption).value(), c.rows);

        // The list holds exactly the listed students, from position 1, without gaps.
        std::vector<int> expectedList;
        for (const Row& row : c.rows) expectedList.push_back(row.student);
        EXPECT_EQ(listedStudents(), expectedList);
        for (int n = 1; n <= tables->RosterListCount; ++n) {
            EXPECT_EQ(tables->RosterEntries.at(n).StudentIndex, expectedList[n - 1]);
        }
        EXPECT_EQ(tables->RosterEntries.at(1).Unused7, std::string(20, ' '));

        for (const auto& [student, name, year, label] :
             {std::tuple{22, "二郎", 2016, "小２"}, std::tuple{23, "三郎", 2015, "小３"},
              std::tuple{24, "四郎", 2014, "小４"}, std::tuple{26, "六郎", 2012, "小６"}}) {
            EXPECT_EQ(nameOf(student), name);
            EXPECT_EQ(tables->RosterYear.at(student), year);
            EXPECT_EQ(tables->RosterGradeLabels.at(student), label);
        }
    }
}

TEST_F(RosterFile, TextsAreCutOrPaddedToTwentyCharacters) {
    const std::string twentyFive = "一二三四五六七八九十壱弐参四五六七八九十あいうえお";
    const std::string firstTwenty = "一二三四五六七八九十壱弐参四五六七八九十";
    ASSERT_TRUE(
        load("1,2015,0,0," + twentyFive + ",0,abc,\"a,b\"\r\n" + "2,2015,0,0,\"林 花子\",1,,\r\n"));

    EXPECT_EQ(tables->RosterNames.at(1), firstTwenty);
    EXPECT_EQ(tables->RosterEntries.at(1).Name, firstTwenty);
    EXPECT_EQ(tables->RosterEntries.at(1).Unused7, "abc" + std::string(17, ' '));
    EXPECT_EQ(tables->RosterEntries.at(1).Unused8, "a,b" + std::string(17, ' '));
    EXPECT_EQ(tables->RosterNames.at(2), "林 花子" + std::string(16, ' '));
}

TEST_F(RosterFile, LineBreaksAndBlankLinesDoNotChangeWhatIsRead) {
    const std::vector<Row> expected = {{7, "山田", 3}, {8, "佐藤", 4}};
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"one entry per line", "7,2015,0,0,山田,0,a,b\r\n8,2014,0,0,佐藤,0,c,d\r\n"},
        {"an entry split over two lines", "7,2015,0,0\r\n山田,0,a,b\r\n8,2014,0,0,佐藤,0,c,d\r\n"},
        {"two entries on one line", "7,2015,0,0,山田,0,a,b,8,2014,0,0,佐藤,0,c,d\r\n"},
        {"every item on its own line",
         "7\n2015\n0\n0\n山田\n0\na\nb\n8\n2014\n0\n0\n佐藤\n0\nc\nd"},
        {"blank lines before, between and after entries",
         "\r\n\r\n7,2015,0,0,山田,0,a,b\r\n\r\n  \r\n8,2014,0,0,佐藤,0,c,d\r\n\r\n\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tables = std::make_unique<RosterTables>();
        EXPECT_EQ(load(c.text).value(), expected);
        EXPECT_EQ(tables->RosterEntries.at(2).Unused8, "d" + std::string(19, ' '));
    }
}

TEST_F(RosterFile, ALaterEntryWithTheSameIndexWinsAndBothAreListed) {
    std::vector<std::string> namesInTablesDuringBuilder;
    ASSERT_TRUE(LoadRoster(
        *tables,
        folder.writeCp932("新名簿.txt", entryLine(5, 2015, "旧姓") + entryLine(6, 2015, "他") +
                                            entryLine(5, 2016, "新姓")),
        kMay2024, kApril, 0, [&](const RosterEntry& entry, int) {
            namesInTablesDuringBuilder.push_back(nameOf(entry.StudentIndex));
        }));

    EXPECT_EQ(listedStudents(), (std::vector<int>{5, 6, 5}));
    EXPECT_EQ(nameOf(5), "新姓");
    EXPECT_EQ(tables->RosterYear.at(5), 2016);
    EXPECT_EQ(tables->RosterGradeLabels.at(5), "小２");
    // Each entry is in the tables by the time its row is built, and no later one yet.
    EXPECT_EQ(namesInTablesDuringBuilder, (std::vector<std::string>{"旧姓", "他", "新姓"}));
}

TEST_F(RosterFile, AReloadReplacesTheListButKeepsWhatTheNewFileDoesNotSet) {
    ASSERT_TRUE(
        load(entryLine(1, 2015, "山田") + entryLine(2, 2014, "佐藤") + entryLine(3, 2013, "鈴木")));
    // Student 1 is now beyond the labelled grades, student 2 is gone from the file.
    ASSERT_TRUE(load(entryLine(3, 2013, "鈴木") + entryLine(1, 2000, "山田")));

    EXPECT_EQ(listedStudents(), (std::vector<int>{3, 1}));
    EXPECT_EQ(tables->RosterYear.at(1), 2000);
    EXPECT_EQ(tables->RosterGradeLabels.at(1), "小３")
        << "no label for grade 18: the old one stays";
    EXPECT_EQ(nameOf(2), "佐藤");
    EXPECT_EQ(tables->RosterGradeLabels.at(2), "小４");
}

TEST_F(RosterFile, AnIndexTheTablesCannotHoldIsSkippedAndTheRestLoads) {
    std::vector<int> built;
    const auto skipped =
        LoadRoster(*tables,
                   folder.writeCp932("新名簿.txt",
                                     entryLine(1, 2015, "山田") + "0,2015,0,0,ゼロ,0,,\r\n" +
                                         "5001,2015,0,0,大き過ぎ,1,,\r\n" +
                                         "-2,2015,0,0,負,0,,\r\n" + entryLine(2, 2014, "佐藤")),
                   {2030, 5, 1}, kApril, 0,
                   [&](const RosterEntry& entry, int) { built.push_back(entry.StudentIndex); })
            .value();
    EXPECT_EQ(built, (std::vector<int>{1, 2}));
    EXPECT_EQ(tables->RosterListCount, 2);
    EXPECT_EQ(skipped,
              (std::vector<std::string>{
                  "2行目の番号 0 は 1〜5000 の範囲にないため、この生徒を読み飛ばしました。",
                  "3行目の番号 5001 は 1〜5000 の範囲にないため、この生徒を読み飛ばしました。",
                  "4行目の番号 -2 は 1〜5000 の範囲にないため、この生徒を読み飛ばしました。"}));
}

TEST_F(RosterFile, MalformedFilesAreRefusedNamingTheLineAndChangeNothing) {
    const std::string good = entryLine(1, 2015, "山田") + entryLine(2, 2014, "佐藤", 1);
    // Each bad file begins with an entry that would overwrite student 1 if it were stored.
    const std::string overwrite = entryLine(1, 2010, "別人");
    const struct {
        const char* name;
        std::string text;
        std::string problem;
    } cases[] = {
        {"a file ending inside an entry", overwrite + "\r\n3,2015,0,0\r\n山田,0\r\n",
         "3行目から始まる生徒の項目が6個でファイルが終わっています（8個必要です）。"},
        {"a word for the index", overwrite + "abc,2015,0,0,山田,0,,\r\n",
         "2行目の1番目の項目（番号）が数ではありません: abc"},
        {"an empty year", overwrite + "3,,0,0,山田,0,,\r\n",
         "2行目の2番目の項目（年度）が数ではありません: "},
        {"a fraction in an unused number", overwrite + "3,2015,0,1.5,山田,0,,\r\n",
         "2行目の4番目の項目が整数ではありません: 1.5"},
        {"a number item on the next line of a split entry",
         overwrite + "3,2015,0,0,山田\r\nx,,\r\n",
         "3行目の6番目の項目（表示区分）が数ではありません: x"},
        {"a list flag that would narrow to 0", overwrite + "3,2015,0,0,山田,65536,,\r\n",
         "2行目の6番目の項目（表示区分）の値 65536 は -32768〜32767 の範囲を超えています。"},
        {"a year beyond 16 bits", overwrite + "3,-40000,0,0,山田,0,,\r\n",
         "2行目の2番目の項目（年度）の値 -40000 は -32768〜32767 の範囲を超えています。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        tables = std::make_unique<RosterTables>();
        ASSERT_TRUE(load(good));
        bool builderCalled = false;
        const auto loaded =
            LoadRoster(*tables, folder.writeCp932("bad.txt", c.text), {2030, 5, 1}, kApril, 1,
                       [&](const RosterEntry&, int) { builderCalled = true; });
        if (loaded) {
            ADD_FAILURE() << "loaded";
        } else {
            EXPECT_EQ(loaded.error().problem, c.problem);
        }
        EXPECT_FALSE(builderCalled);
        EXPECT_EQ(tables->SchoolYear, 2024);
        EXPECT_EQ(listedStudents(), std::vector<int>{1});
        EXPECT_EQ(tables->RosterEntries.at(1).Name, tables->RosterNames.at(1));
        EXPECT_EQ(nameOf(1), "山田");
        EXPECT_EQ(tables->RosterYear.at(1), 2015);
        EXPECT_EQ(tables->RosterGradeLabels.at(1), "小３");
        EXPECT_EQ(nameOf(3), "");
    }
}

TEST_F(RosterFile, AMissingFileIsRefusedAndChangesNothing) {
    ASSERT_TRUE(load(entryLine(1, 2015, "山田")));
    EXPECT_FALSE(LoadRoster(*tables, folder / "無い.txt", {2030, 5, 1}, kApril, 0, {}));
    EXPECT_EQ(tables->SchoolYear, 2024);
    EXPECT_EQ(listedStudents(), std::vector<int>{1});
}

TEST_F(RosterFile, AtMostFiveThousandEntriesAreListed) {
    std::string fullRoster;
    for (int student = 1; student <= 5000; ++student) fullRoster += entryLine(student, 2015, "名");
    const std::string notListed = entryLine(1, 2015, "名", 1);
    ASSERT_TRUE(load(fullRoster + notListed));
    EXPECT_EQ(tables->RosterListCount, 5000);
    EXPECT_EQ(tables->RosterList.at(5000), 5000);

    const auto tooMany = load(entryLine(1, 2015, "先頭") + fullRoster);
    if (tooMany) {
        ADD_FAILURE() << "loaded 5001 listed entries";
    } else {
        EXPECT_EQ(tooMany.error().problem, "5001行目で、一覧に載せる生徒が5000人を超えました。");
    }
    EXPECT_EQ(tables->RosterListCount, 5000);
    EXPECT_EQ(nameOf(1), "名");
}

}  // namespace
}  // namespace gaisan

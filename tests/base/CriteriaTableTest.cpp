#include "base/CriteriaTable.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace gaisan {
namespace {

const std::string kTitleLine =
    "目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\r\n";

/// The problem LoadCriteriaTable reports for `text`, or "" when it loads.
std::string problemLoading(const std::string& text, int requiredLevels = 1) {
    testing::TempFolder folder;
    CriteriaTable table;
    const Expected<void> loaded =
        LoadCriteriaTable(folder.writeCp932("タイム回数データ.txt", text), table, requiredLevels);
    return loaded ? "" : loaded.error().problem;
}

TEST(CriteriaTable, LevelNReadsLineNAndTheTitleLineSetsNothing) {
    testing::TempFolder folder;
    const auto file =
        folder.writeCp932("タイム回数データ.txt", kTitleLine + "60,90,60,5,1,30,0,30,1,,,\r\n" +
                                                      "100,140,9999,9999,1.5,,,7,1,x,y,z\r\n");
    CriteriaTable table;
    table.TargetTime.at(3) = 77;  // beyond the file: kept
    ASSERT_TRUE(LoadCriteriaTable(file, table, 2));

    EXPECT_EQ(table.TargetTime.at(0), 0);
    EXPECT_EQ(table.PointRate.at(0), 0.0f);
    EXPECT_EQ(table.CriteriaExtra1.at(0), "");
    EXPECT_EQ(table.TargetTime.at(1), 60);
    EXPECT_EQ(table.MinLineTime.at(1), 90);
    EXPECT_EQ(table.ClearPoints.at(1), 60);
    EXPECT_EQ(table.ClearCount.at(1), 5);
    EXPECT_EQ(table.OveruseCount.at(1), 30);
    EXPECT_EQ(table.PassDays.at(1), 30);
    EXPECT_EQ(table.OveruseDays.at(1), 1);
    EXPECT_EQ(table.ClearPoints.at(2), 9999);
    EXPECT_EQ(table.ClearCount.at(2), 9999);
    EXPECT_EQ(table.PointRate.at(2), 1.5f);
    EXPECT_EQ(table.OveruseCount.at(2), 0) << "an empty 禁回 is no limit";
    EXPECT_EQ(table.OverusePoints.at(2), 0);
    EXPECT_EQ(table.CriteriaExtra1.at(2), "x");
    EXPECT_EQ(table.CriteriaExtra3.at(2), "z");
    EXPECT_EQ(table.TargetTime.at(3), 77);
}

TEST(CriteriaTable, FractionsInWholeNumberColumnsAreRounded) {
    testing::TempFolder folder;
    CriteriaTable table;
    ASSERT_TRUE(LoadCriteriaTable(
        folder.writeCp932("t.txt", kTitleLine + "59.5,90.4,60,5.6,1,0,0,1,1,,,\r\n"), table, 1));
    EXPECT_EQ(table.TargetTime.at(1), 60);
    EXPECT_EQ(table.MinLineTime.at(1), 90);
    EXPECT_EQ(table.ClearCount.at(1), 6);
}

TEST(CriteriaTable, MalformedFilesAreRefusedWithTheirLine) {
    std::string thirtySeven = kTitleLine;
    for (int level = 1; level <= 36; ++level) thirtySeven += "60,90,60,5,1,0,0,1,1,,,\r\n";
    const struct {
        const char* name;
        std::string text;
        const char* problem;
    } cases[] = {
        {"eleven fields", kTitleLine + "60,90,60,5,1,0,0,1,1,,\r\n",
         "2行目（レベル1）の項目が11個しかありません（12個必要です）。"},
        {"thirteen fields", kTitleLine + "60,90,60,5,1,0,0,1,1,,,,\r\n",
         "2行目（レベル1）の項目が12個より多くあります（12個の決まりです）。"},
        {"a short title line", "目標Time,最低Time\r\n",
         "1行目（見出しの行）の項目が2個しかありません（12個必要です）。"},
        {"a file ending inside a line", kTitleLine + "60,90,60",
         "2行目（レベル1）の項目が3個しかありません（12個必要です）。"},
        {"thirty-seven lines", thirtySeven,
         "行が多すぎます（見出しの行とレベル1〜35の36行までです）。"},
        {"a count too large for its column", kTitleLine + "60,90,60,40000,1,0,0,1,1,,,\r\n",
         "2行目（レベル1）の4列目「ｸﾘｱ回数」の値 40000 は大きすぎます。"},
    };
    for (const auto& c : cases) EXPECT_EQ(problemLoading(c.text), c.problem) << c.name;
}

TEST(CriteriaTable, ValuesThatWouldBreakALevelAreRefusedNamingLineAndColumn) {
    const std::string level1 = "60,90,60,5,1,0,0,1,1,,,\r\n";
    const struct {
        const char* name;
        std::string level2;
        const char* problem;
    } cases[] = {
        {"a negative target time", "-1,90,60,5,1,0,0,1,1,,,\r\n",
         "3行目（レベル2）の1列目「目標Time」の値 -1 は使えません（時間は0秒以上です）。"},
        {"a negative minimum line", "60,-90,60,5,1,0,0,1,1,,,\r\n",
         "3行目（レベル2）の2列目「最低Time」の値 -90 は使えません（時間は0秒以上です）。"},
        {"a time limit reaching the time-up mark", "60,20000,60,5,1,0,0,1,1,,,\r\n",
         "3行目（レベル2）の2列目「最低Time」の値 20000 は使えません（この5倍が時間切れまでの"
         "秒数になるため、19999秒までです）。"},
        {"a minimum line of 0 ends every run at once", "60,,60,5,1,0,0,1,1,,,\r\n",
         "3行目（レベル2）の2列目「最低Time」の値  は使えません（この5倍が時間切れまでの"
         "秒数になるため、1秒以上です）。"},
        {"a point rate that overflows the points", "60,90,60,5,100000000,0,0,1,1,,,\r\n",
         "3行目（レベル2）の5列目「ﾎﾟｲﾝﾄ倍率」の値 100000000 は使えません（ポイント倍率は0から"
         "1000までです）。"},
        {"a negative point rate", "60,90,60,5,-1.5,0,0,1,1,,,\r\n",
         "3行目（レベル2）の5列目「ﾎﾟｲﾝﾄ倍率」の値 -1.5 は使えません（ポイント倍率は0から"
         "1000までです）。"},
        {"clear points beyond 32 bits", "60,90,3000000000,5,1,0,0,1,1,,,\r\n",
         "3行目（レベル2）の3列目「ｸﾘｱﾎﾟｲﾝﾄ」の値 3000000000 は大きすぎます。"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(problemLoading(kTitleLine + level1 + c.level2, 2), c.problem) << c.name;
    }
    EXPECT_EQ(problemLoading(kTitleLine + level1 + "60,19999,60,5,1000,0,0,1,1,,,\r\n", 2), "")
        << "the largest values allowed";
    EXPECT_EQ(problemLoading(kTitleLine + level1 + "0,0,0,0,0,0,0,0,0,,,\r\n", 1), "")
        << "a line beyond the level table may leave its minimum line at 0";
}

TEST(CriteriaTable, AFileLackingALevelOfTheLevelTableIsRefusedNamingTheLevels) {
    const std::string level = "60,90,60,5,1,0,0,1,1,,,\r\n";
    EXPECT_EQ(problemLoading("", 24),
              "レベル1〜24の行がありません（見出しの行の後に、レベル1〜24の24行が必要です）。");
    EXPECT_EQ(problemLoading(kTitleLine + level + level, 24),
              "レベル3〜24の行がありません（見出しの行の後に、レベル1〜24の24行が必要です）。");
    std::string twentyThree = kTitleLine;
    for (int i = 1; i <= 23; ++i) twentyThree += level;
    EXPECT_EQ(problemLoading(twentyThree, 24),
              "レベル24の行がありません（見出しの行の後に、レベル1〜24の24行が必要です）。");
    EXPECT_EQ(problemLoading(twentyThree + level, 24), "");
}

TEST(CriteriaTable, ABadFileLeavesTheTableInForceUntouched) {
    testing::TempFolder folder;
    CriteriaTable table;
    ASSERT_TRUE(LoadCriteriaTable(
        folder.writeCp932("good.txt", kTitleLine + "60,90,60,5,1,0,0,1,1,,,\r\n"), table, 1));
    const auto bad = folder.writeCp932(
        "bad.txt", kTitleLine + "61,91,60,5,1,0,0,1,1,,,\r\n60,90,60,99999,1,0,0,1,1,,,\r\n");
    EXPECT_FALSE(LoadCriteriaTable(bad, table, 1));
    EXPECT_EQ(table.TargetTime.at(1), 60);
}

TEST(CriteriaTable, AFileReadAndWrittenBackIsTheSameByteForByte) {
    const std::string bytesOfDemo = testing::readBytes(GAISAN_DEMO_CRITERIA_FILE);
    ASSERT_FALSE(bytesOfDemo.empty());
    testing::TempFolder folder;
    const auto copy = folder.writeBytes("タイム回数データ.txt", bytesOfDemo);
    ASSERT_TRUE(writeCriteriaFile(copy, readCriteriaFile(copy).value(), 24));
    EXPECT_EQ(testing::readBytes(copy), bytesOfDemo);
}

TEST(CriteriaTable, WritesTheTitleLineAndLevelsAsTheEditorShowsThem) {
    testing::TempFolder folder;
    const auto file = folder / "タイム回数データ.txt";
    ASSERT_TRUE(writeCriteriaFile(
        file, {criteriaTitleLine(), {"45", "70", "", "", "1.5", "", "", "", "", "", "", ""}}, 1));
    EXPECT_EQ(testing::readBytes(file), encodeCp932(kTitleLine + "45,70,,,1.5,,,,,,,\r\n"));
    CriteriaTable table;
    ASSERT_TRUE(LoadCriteriaTable(file, table, 1));
    EXPECT_EQ(table.TargetTime.at(1), 45);
    EXPECT_EQ(table.PointRate.at(1), 1.5f);
}

TEST(CriteriaTable, RefusesToWriteWhatWouldNotReadBack) {
    testing::TempFolder folder;
    const auto file = folder.writeBytes("タイム回数データ.txt", "kept");
    const CriteriaLine good = {"60", "90", "60", "5", "1", "", "", "1", "1", "", "", ""};
    for (const char* cell : {"1,5", "\"60\"", "6\r\n0"}) {
        CriteriaLine line = good;
        line[9] = cell;
        EXPECT_FALSE(writeCriteriaFile(file, {criteriaTitleLine(), line}, 1)) << cell;
    }
    EXPECT_FALSE(writeCriteriaFile(file, std::vector<CriteriaLine>(37, good), 1));
    // The editor's save is held to the rules the start-up checks.
    CriteriaLine badRate = good;
    badRate[4] = "100000000";
    EXPECT_FALSE(writeCriteriaFile(file, {criteriaTitleLine(), badRate}, 1));
    EXPECT_FALSE(writeCriteriaFile(file, {criteriaTitleLine(), good}, 2))
        << "a level without a line";
    EXPECT_EQ(testing::readBytes(file), "kept");
}

}  // namespace
}  // namespace gaisan

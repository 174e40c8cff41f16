#include "rules/admin/CriteriaGrid.h"

#include <gtest/gtest.h>

namespace gaisan {
namespace {

/// Ten levels whose first field tells them apart.
std::vector<CriteriaLine> tenLevels(const CriteriaLine& titleLine = criteriaTitleLine()) {
    std::vector<CriteriaLine> lines = {titleLine};
    for (int level = 1; level <= 10; ++level) {
        lines.push_back(
            {std::to_string(60 + level), "90", "60", "5", "1.5", "", "0", "30", "1", "x", "", "z"});
    }
    return lines;
}

TEST(CriteriaGrid, LoadingAndSavingUnchangedWritesTheSameFieldsAndTheStandardTitleLine) {
    CriteriaLine oddTitle;
    oddTitle.fill("?");
    CriteriaGrid grid;
    grid.load(tenLevels(oddTitle));
    EXPECT_EQ(grid.lastRow(), 10);
    EXPECT_EQ(grid.cell(0, 0), "レベル");
    EXPECT_EQ(grid.cell(0, 1), "目標Time");
    EXPECT_EQ(grid.cell(3, 0), "3");
    EXPECT_EQ(grid.cell(3, 1), "63");
    EXPECT_FALSE(grid.gridChanged());
    EXPECT_EQ(grid.lines(), tenLevels());
}

TEST(CriteriaGrid, OnlyADifferentTextMarksTheCell) {
    CriteriaGrid grid;
    grid.load(tenLevels());
    grid.click(2, 5);
    grid.textToGrid("1.5");
    EXPECT_FALSE(grid.marked(2, 5));
    EXPECT_FALSE(grid.gridChanged());
    grid.textToGrid("");  // the space key clears the cell
    EXPECT_TRUE(grid.marked(2, 5));
    EXPECT_TRUE(grid.gridChanged());
    EXPECT_EQ(grid.cell(2, 5), "");
    grid.saved();
    EXPECT_FALSE(grid.gridChanged());
    EXPECT_TRUE(grid.marked(2, 5)) << "saving keeps the marks until the next load";
    grid.load(tenLevels());
    EXPECT_FALSE(grid.marked(2, 5));
}

TEST(CriteriaGrid, ArrowsStopAtTheEdgesOfTheLevelFields) {
    CriteriaGrid grid;
    grid.load(tenLevels());
    grid.click(1, 1);
    EXPECT_FALSE(grid.up());
    EXPECT_FALSE(grid.left());
    EXPECT_TRUE(grid.down());
    EXPECT_TRUE(grid.right());
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.column(), 2);
    grid.click(10, 12);
    EXPECT_FALSE(grid.right());
    EXPECT_FALSE(grid.down());
    grid.click(0, 3);  // the header
    grid.click(4, 0);  // a level number
    EXPECT_EQ(grid.row(), 10);
    EXPECT_EQ(grid.column(), 12);
}

TEST(CriteriaGrid, ShiftDownCopiesTheTextDownOneRowMoreEachTime) {
    CriteriaGrid grid;
    grid.load(tenLevels());
    grid.click(2, 1);
    EXPECT_TRUE(grid.copyDown("77"));
    EXPECT_EQ(grid.cell(2, 1), "77");
    EXPECT_EQ(grid.cell(3, 1), "77");
    EXPECT_EQ(grid.cell(4, 1), "64");
    EXPECT_TRUE(grid.copyDown("77"));
    EXPECT_EQ(grid.cell(4, 1), "77");
    EXPECT_EQ(grid.row(), 2) << "the editor stays where it is";
    EXPECT_FALSE(grid.marked(3, 1)) << "copied cells are not marked";
    EXPECT_TRUE(grid.gridChanged());

    grid.click(10, 3);
    grid.load(tenLevels());
    EXPECT_FALSE(grid.copyDown("1")) << "nothing to copy into below the last row";
    EXPECT_FALSE(grid.gridChanged());
}

TEST(CriteriaGrid, TheCriteriaInForceStandInForAFileThatCannotBeRead) {
    CriteriaTable table;
    table.TargetTime.at(1) = 60;
    table.MinLineTime.at(1) = 90;
    table.PointRate.at(1) = 1.5f;
    table.PassDays.at(1) = 30;
    table.CriteriaExtra3.at(1) = "z";
    CriteriaGrid grid;
    grid.load(CriteriaGrid::linesInForce(table, 2), true);
    EXPECT_EQ(grid.lastRow(), 2);
    EXPECT_TRUE(grid.gridChanged());
    EXPECT_EQ(grid.lines()[1],
              (CriteriaLine{"60", "90", "0", "0", "1.5", "0", "0", "30", "0", "", "", "z"}));
}

TEST(CriteriaGrid, EachTitledColumnIsExplained) {
    EXPECT_EQ(CriteriaGrid::explanation(1),
              "合格基準タイム\n　大部分の人ががんばったら出せそうなタイムにしてください");
    EXPECT_EQ(CriteriaGrid::explanation(5),
              "ポイント倍率\n  ポイントを何倍にして加算するか\n  "
              "むずかしいレベルや生徒のいやがるレベルは高くしてください");
    EXPECT_EQ(CriteriaGrid::explanation(9),
              "やりすぎ判定をする日数\n　何日前からのポイントを有効にするか");
    EXPECT_EQ(CriteriaGrid::explanation(0), "");
    EXPECT_EQ(CriteriaGrid::explanation(10), "");
}

}  // namespace
}  // namespace gaisan

#include "rules/menu/ListPrintout.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace gaisan {
namespace {

using Lines = std::vector<std::string>;

/// A page as short texts: "T title", "C caption", "R row", "" for the gap between two levels,
/// and the footer last after "#".
Lines shown(const PrintedPage& page) {
    Lines lines;
    for (const auto& line : page.lines) {
        if (!line) {
            lines.emplace_back();
            continue;
        }
        const char* kind = line->kind == PrintedLine::Kind::Title     ? "T "
                           : line->kind == PrintedLine::Kind::Caption ? "C "
                                                                      : "R ";
        lines.push_back(kind + line->text);
    }
    lines.push_back("# " + page.footer);
    return lines;
}

TEST(LayOutPrintout, FillsPagesWithoutSplittingALevelsCaptionFromItsRows) {
    const Lines title = {"題", "学年"};
    const struct {
        const char* name;
        std::vector<PrintedLevel> levels;
        double lineHeight, pageHeight;
        std::vector<Lines> pages;
    } cases[] = {
        {"all on one page, a gap between levels",
         {{"L1", {"a", "b"}}, {"L2", {"c"}}},
         10,
         100,
         {{"T 題", "T 学年", "", "C L1", "R a", "R b", "", "C L2", "R c", "# 1 / 1"}}},
        {"a level going on repeats its caption",
         {{"L1", {"a", "b", "c", "d", "e"}}},
         10,
         60,
         {{"T 題", "T 学年", "", "C L1", "R a", "# 1 / 2"},
          {"C L1（つづき）", "R b", "R c", "R d", "R e", "# 2 / 2"}}},
        {"no caption alone at a page's foot: gap, caption and a row move on together",
         {{"L1", {"a", "b"}}, {"L2", {"c"}}},
         10,
         80,
         {{"T 題", "T 学年", "", "C L1", "R a", "R b", "# 1 / 2"}, {"C L2", "R c", "# 2 / 2"}}},
        {"an empty level says so",
         {{"L1", {}}, {"L2", {"a"}}},
         10,
         100,
         {{"T 題", "T 学年", "", "C L1", "R （なし）", "", "C L2", "R a", "# 1 / 1"}}},
        {"no levels: the title alone", {}, 10, 100, {{"T 題", "T 学年", "# 1 / 1"}}},
        // Printer units: 0.1 × 5 is a little under 0.5 in binary; the page still holds 5 lines.
        {"a page exactly n lines high holds n lines",
         {{"L1", {"a", "b", "c"}}},
         0.1,
         0.5,
         {{"T 題", "T 学年", "# 1 / 2"}, {"C L1", "R a", "R b", "R c", "# 2 / 2"}}},
    };
    for (const auto& c : cases) {
        const std::vector<PrintedPage> pages =
            layOutPrintout(title, c.levels, c.lineHeight, c.pageHeight);
        std::vector<Lines> got;
        for (const PrintedPage& page : pages) got.push_back(shown(page));
        EXPECT_EQ(got, c.pages) << c.name;
    }
}

TEST(LayOutPrintout, ManyRowsFillEveryPageToTheFootAndLoseNone) {
    std::vector<PrintedLevel> levels;
    for (int level = 1; level <= 7; ++level) {
        levels.push_back({"L" + std::to_string(level), {}});
        for (int row = 0; row < 45; ++row) levels.back().rows.push_back(std::to_string(row));
    }
    const std::vector<PrintedPage> pages = layOutPrintout({"題"}, levels, 12, 12 * 41.5);
    std::size_t rows = 0;
    for (std::size_t page = 0; page < pages.size(); ++page) {
        const auto& lines = pages[page].lines;
        EXPECT_LE(lines.size(), 40u) << "page " << page + 1;
        ASSERT_FALSE(lines.empty());
        EXPECT_TRUE(lines.front().has_value()) << "a gap opens page " << page + 1;
        EXPECT_EQ(lines.back()->kind, PrintedLine::Kind::Row) << "page " << page + 1;
        for (const auto& line : lines) rows += line && line->kind == PrintedLine::Kind::Row;
    }
    EXPECT_EQ(rows, 7u * 45u);
    EXPECT_EQ(pages.back().footer,
              std::to_string(pages.size()) + " / " + std::to_string(pages.size()));
}

TEST(LayOutPrintout, RefusesAPageWithoutRoomForACaptionARowAndItsNumber) {
    EXPECT_THROW((void)layOutPrintout({}, {{"L1", {"a"}}}, 10, 29), std::invalid_argument);
    EXPECT_THROW((void)layOutPrintout({}, {{"L1", {"a"}}}, 0, 100), std::invalid_argument);
    EXPECT_EQ(layOutPrintout({}, {{"L1", {"a", "b"}}}, 10, 30).size(), 2u);
}

TEST(PrintoutTitle, NamesTheViewTheListTheBandThePeriodAndTheDate) {
    PrintoutHeading heading{"概算",
                            ResultsList::TotalPoints,
                            RankingView::Points,
                            "全学年",
                            Period::Month,
                            "佐藤",
                            {2026, 12, 10}};
    EXPECT_EQ(printoutTitle(heading),
              (Lines{"概算　ﾎﾟｲﾝﾄ表示・合計累計　獲得ポイント（今まで順位）",
                     "学年：全学年　令和8年 12月 10日（木）"}));
    heading.list = ResultsList::PeriodRuns;
    heading.view = RankingView::Time;
    heading.band = "小５";
    heading.period = Period::ThisWeek;
    EXPECT_EQ(printoutTitle(heading), (Lines{"概算　ﾀｲﾑ表示・オール表示",
                                             "学年：小５　期間：今週　令和8年 12月 10日（木）"}));
    heading.list = ResultsList::PersonalRuns;
    EXPECT_EQ(printoutTitle(heading), (Lines{"概算　個人ﾀｲﾑ　個人別ﾀｲﾑ",
                                             "学年：小５　名前：佐藤　令和8年 12月 10日（木）"}));
}

}  // namespace
}  // namespace gaisan

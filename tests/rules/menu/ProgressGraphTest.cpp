#include "rules/menu/ProgressGraph.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Calendar.h"
#include "support/GraphLayoutProblems.h"

namespace gaisan {
namespace {

const int kToday = daySerial({2026, 12, 10});
constexpr GraphSurface kScreen{1000, 900, false};
/// An A4 page at 1200 dpi.
constexpr GraphSurface kPrinter{9921, 14031, true, 2};
constexpr int kStudent = 7;

/// A font of fixed widths, as the program's font is: a full-width character is one em wide, a
/// half-width one (ASCII, half-width katakana) half an em; a line is 1.1 em high.
MeasureText fixedWidthFont(const GraphSurface& surface) {
    const double pixelsPerPoint = (surface.printer ? 1200.0 : 96.0) / 72;
    return [pixelsPerPoint](const std::string& text, double pointSize) {
        const double em = pointSize * pixelsPerPoint;
        double ems = 0;
        for (std::size_t i = 0; i < text.size();) {
            const auto byte = static_cast<unsigned char>(text[i]);
            const std::size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
            const bool halfKatakana = length == 3 && byte == 0xEF &&
                                      ((static_cast<unsigned char>(text[i + 1]) == 0xBD &&
                                        static_cast<unsigned char>(text[i + 2]) >= 0xA1) ||
                                       static_cast<unsigned char>(text[i + 1]) == 0xBE);
            ems += length == 1 || halfKatakana ? 0.5 : 1;
            i += length;
        }
        return GraphTextSize{ems * em, 1.1 * em};
    };
}

LoadedRecord run(int student, int level, std::int32_t seconds, int daysAgo = 10) {
    return {static_cast<double>(kToday - daysAgo), 0.5, static_cast<std::int16_t>(student),
            static_cast<std::int16_t>(level), seconds};
}

GraphRequest requestFor(std::vector<int> levels) {
    GraphRequest request;
    request.student = kStudent;
    request.studentName = "佐藤　陽菜";
    request.subjectTitle = "概算";
    request.levels = std::move(levels);
    request.levelCount = 4;
    request.levelNames = {"", "レベル１", "レベル２", "レベル３", "レベル４"};
    request.today = kToday;
    return request;
}

GraphPage drawLevel1(const std::vector<LoadedRecord>& records, LevelStatistics statistics = {}) {
    const GraphDrawing drawing = drawProgressGraphs(
        requestFor({1}), records, kScreen, [&](int) { return statistics; },
        fixedWidthFont(kScreen));
    return drawing.pages.at(0);
}

std::vector<GraphColour> dotColours(const GraphPage& page) {
    std::vector<GraphColour> colours;
    for (const GraphDot& dot : page.dots) colours.push_back(dot.colour);
    return colours;
}

/// The texts of the page that begin with `start`.
std::vector<std::string> textsStartingWith(const GraphPage& page, const std::string& start) {
    std::vector<std::string> found;
    for (const GraphText& text : page.texts) {
        if (text.text.starts_with(start)) found.push_back(text.text);
    }
    return found;
}

std::size_t blackLines(const GraphPage& page) {
    return std::count_if(page.lines.begin(), page.lines.end(), [](const GraphLine& line) {
        return line.colour == kGraphBlack && line.width == 3;
    });
}

TEST(ProgressGraph, FasterRunsAreRedRecordPointsJoinedByTheBestLineAndTheRestBlue) {
    const struct {
        const char* name;
        std::vector<std::int32_t> times;
        std::vector<GraphColour> colours;
        std::size_t bestLines;
    } cases[] = {
        {"falling then rising", {60, 45, 50}, {kGraphRed, kGraphRed, kGraphBlue}, 1},
        {"equal to the best", {60, 60}, {kGraphRed, kGraphBlue}, 0},
        {"one run", {60}, {kGraphRed}, 0},
    };
    for (const auto& c : cases) {
        std::vector<LoadedRecord> records;
        for (const std::int32_t t : c.times) records.push_back(run(kStudent, 1, t));
        records.push_back(run(kStudent + 1, 1, 20));  // another student's run plots nothing
        const GraphPage page = drawLevel1(records);
        EXPECT_EQ(dotColours(page), c.colours) << c.name;
        EXPECT_EQ(blackLines(page), c.bestLines) << c.name;
    }
}

TEST(ProgressGraph, TheTimeAxisEndsAtTheNextMultipleOfTenCappedAt1000) {
    const struct {
        std::int32_t longest;
        const char* top;
    } cases[] = {{57, "60秒"}, {60, "70秒"}, {1200, "1000秒"}};
    for (const auto& c : cases) {
        const GraphPage page = drawLevel1({run(kStudent, 1, c.longest), run(kStudent, 1, 30)});
        EXPECT_EQ(textsStartingWith(page, c.top).size(), 1u) << c.longest;
    }
}

TEST(ProgressGraph, RunsOf1800SecondsOrMoreAreDrawnButCountInNothingAndTheCountSaysSo) {
    const GraphPage page =
        drawLevel1({run(kStudent, 1, 40), run(kStudent, 1, 2000), run(kStudent, 1, 30)});
    // The long run lies far above the axis, outside the graph: left out, and never a best.
    ASSERT_EQ(page.dots.size(), 2u);
    EXPECT_EQ(dotColours(page), (std::vector<GraphColour>{kGraphRed, kGraphRed}));
    EXPECT_EQ(blackLines(page), 1u);
    EXPECT_DOUBLE_EQ(page.dots[0].at.x, 500 * 0.55);
    EXPECT_DOUBLE_EQ(page.dots[1].at.x, 500 * 0.9);  // the second counted run ends the axis
    EXPECT_EQ(textsStartingWith(page, "回数")[0],
              "回数　　　　　　　  2回（ほかに1800秒以上 1回）");
    EXPECT_EQ(textsStartingWith(page, "　　平均")[0], "　　平均　　　　   35秒 /   35秒");
}

TEST(ProgressGraph, AStudentWhoseRunsAreAllLongGetsNoPointsAndKeepsTheStatistics) {
    const GraphPage page = drawLevel1({run(kStudent, 1, 1800), run(kStudent, 1, 5000)});
    EXPECT_TRUE(page.dots.empty());
    EXPECT_EQ(textsStartingWith(page, "回数")[0],
              "回数　　　　　　　  0回（ほかに1800秒以上 2回）");
    EXPECT_TRUE(textsStartingWith(page, "　　平均").empty());
    EXPECT_EQ(textsStartingWith(page, "　　最高")[0], "　　最高　　　　       / 1800秒");
}

TEST(ProgressGraph, StatisticsLinesForAStudentWithAndWithoutRuns) {
    const LevelStatistics ranked{" 12", "  3", 47.5, 101, 2};
    const GraphPage withRuns = drawLevel1(
        {run(kStudent, 1, 61), run(kStudent, 1, 44), run(3, 1, 40), run(4, 1, 99998)}, ranked);
    const std::vector<std::string> expected = {
        "回数　　　　　　　  2回",          "タイム  　　 　    本人 / 塾全体",
        "　　順位　　　　   12位",          "　　最高　　　　   44秒 /   40秒",
        "　　平均　　　　   52秒 /   48秒", "ポイント  　　　",
        "　　順位　　　　    3位",          "　　獲得ポイント   48点",
        "　　　　　　　　　　　　/   51点", "　　　　　　　　　　　　 (塾平均)",
    };
    std::vector<std::string> statistics;
    for (const GraphText& text : withRuns.texts) {
        if (text.at.x == 1.05 * 500) statistics.push_back(text.text);
    }
    EXPECT_EQ(statistics, expected);

    // Without runs or points: blanks and zeros, the averages left out but their space kept.
    const GraphPage without = drawLevel1({run(3, 1, 99998), run(4, 1, 99999)});
    EXPECT_EQ(textsStartingWith(without, "回数")[0], "回数　　　　　　　  0回");
    EXPECT_EQ(textsStartingWith(without, "　　最高")[0], "　　最高　　　　       /99998秒");
    EXPECT_EQ(textsStartingWith(without, "　　獲得ポイント")[0], "　　獲得ポイント    0点");
    EXPECT_EQ(textsStartingWith(without, "　　順位")[0], "　　順位　　　　     位");
    EXPECT_TRUE(textsStartingWith(without, "　　　　　　　　　　　　/").empty());
    EXPECT_TRUE(without.dots.empty());
    const auto lastLine = [](const GraphPage& page) {
        return std::find_if(page.texts.begin(), page.texts.end(),
                            [](const GraphText& t) { return t.text.ends_with("(塾平均)"); })
            ->at.y;
    };
    EXPECT_EQ(lastLine(without), lastLine(withRuns));
}

TEST(ProgressGraph, ASchoolWithOnlyFailedRunsReadsTheFailureMarkAsItsBest) {
    const GraphPage timeUps = drawLevel1({run(3, 1, 99999)});
    EXPECT_EQ(textsStartingWith(timeUps, "　　最高")[0], "　　最高　　　　       /99999秒");
}

TEST(ProgressGraph, FourLevelsFillOnePageWithThreeBlocksAndStartAnotherForTheFourth) {
    const GraphDrawing drawing = drawProgressGraphs(
        requestFor({1, 2, 3, 4}), {}, kScreen, [](int) { return LevelStatistics{}; },
        fixedWidthFont(kScreen));
    ASSERT_EQ(drawing.pages.size(), 2u);
    EXPECT_EQ(textsStartingWith(drawing.pages[0], "概算 レベル").size(), 3u);
    EXPECT_EQ(textsStartingWith(drawing.pages[1], "概算 レベル"),
              std::vector<std::string>{"概算 レベル４"});
    // The student's name heads each page, above its first block.
    EXPECT_EQ(textsStartingWith(drawing.pages[0], "佐藤").size(), 1u);
    EXPECT_EQ(textsStartingWith(drawing.pages[1], "佐藤").size(), 1u);
}

TEST(ProgressGraph, LevelsAbove30AreNotDrawnButNamed) {
    GraphRequest request = requestFor({1, 31, 32});
    request.levelCount = 35;
    const GraphDrawing drawing = drawProgressGraphs(
        request, {}, kScreen, [](int) { return LevelStatistics{}; }, fixedWidthFont(kScreen));
    EXPECT_EQ(drawing.levelsNotDrawn, (std::vector<int>{31, 32}));
    EXPECT_EQ(textsStartingWith(drawing.pages[0], "概算 ").size(), 1u);
}

TEST(ProgressGraph, DateLabelsShortenToMonthAndDayWithinAYear) {
    std::vector<LoadedRecord> records;
    // Seven ever faster runs: points 1, 3 and 7 are labelled; 3 is in another year than the
    // point before it, 7 in the same. Below the axis the first and the newest run's dates.
    const int days[] = {400, 390, 200, 100, 50, 20, 10};
    for (int i = 0; i < 7; ++i) records.push_back(run(kStudent, 1, 100 - 10 * i, days[i]));
    const GraphPage page = drawLevel1(records);
    std::vector<std::string> dates;
    for (const GraphText& text : page.texts) {
        if (text.text.size() >= 5 && std::isdigit(static_cast<unsigned char>(text.text[0])) &&
            text.text.find('/') != std::string::npos) {
            dates.push_back(text.text);
        }
    }
    EXPECT_EQ(dates, (std::vector<std::string>{"2025/11/05", "2026/11/30", "11/30", "2026/05/24"}));
    EXPECT_EQ(graphDateText(kToday - 400), "2025/11/05");
}

std::vector<std::string> datesBelowTheAxis(const GraphPage& page, double axisY) {
    std::vector<std::string> dates;
    for (const GraphText& text : page.texts) {
        if (text.box.top >= axisY && text.text.find('/') != std::string::npos) {
            dates.push_back(text.text);
        }
    }
    return dates;
}

TEST(ProgressGraph, CrowdedGraphsKeepEveryTextApartAndEveryLineInsideTheGraph) {
    const auto sameDay = [] {
        std::vector<LoadedRecord> runs;
        for (int i = 0; i < 25; ++i) runs.push_back(run(kStudent, 1, 99 - 2 * i, 3));
        return runs;
    };
    const auto monthly = [](std::vector<std::int32_t> times) {
        std::vector<LoadedRecord> runs;
        int daysAgo = 30 * static_cast<int>(times.size());
        for (const std::int32_t t : times) runs.push_back(run(kStudent, 1, t, daysAgo -= 30));
        return runs;
    };
    const struct {
        const char* name;
        std::vector<LoadedRecord> runs;
    } cases[] = {
        // The newest record of the file is another student's, later than the student's one run.
        {"one run", {run(kStudent, 1, 47, 10), run(3, 1, 52, 1)}},
        {"many runs on one day", sameDay()},
        {"a first run that timed out", monthly({99999, 60, 55, 47, 50, 44})},
        {"four- and five-digit times", monthly({1500, 99998, 1200, 1799, 999, 99999, 1000, 998})},
        {"record points close together", monthly({60, 59, 58, 57, 56, 55, 54, 53})},
        // The first time just below the axis' end, then a long fall in small steps.
        {"a long fall from just below the axis' end",
         [] {
             std::vector<LoadedRecord> runs;
             for (int i = 0; i < 32; ++i)
                 runs.push_back(run(kStudent, 1, 133 - 2 * i - i % 3, 64 - 2 * i));
             runs.push_back(run(kStudent, 1, 99999, 1));
             return runs;
         }()},
    };
    // The largest ranks and points the statistics write, and a school average beside them.
    const LevelStatistics crowded{"1001", "1002", 120000, 9999999, 3};
    for (const GraphSurface& surface : {kScreen, kPrinter}) {
        for (const auto& c : cases) {
            const std::string what =
                std::string(c.name) + (surface.printer ? " (printer)" : " (screen)");
            GraphRequest request = requestFor({1, 2, 3});
            const GraphDrawing drawing = drawProgressGraphs(
                request, c.runs, surface, [&](int) { return crowded; }, fixedWidthFont(surface));
            ASSERT_EQ(drawing.pages.size(), 1u) << what;
            const GraphPage& page = drawing.pages[0];
            for (const std::string& problem : testing::layoutProblems(page, surface))
                ADD_FAILURE() << what << ": " << problem;
            // Every statistics line is written, the school's average points included.
            EXPECT_EQ(textsStartingWith(page, "　　獲得ポイント").size(), 3u) << what;
            EXPECT_EQ(textsStartingWith(page, "　　　　　　　　　　　　/").size(), 3u) << what;
            EXPECT_EQ(textsStartingWith(page, "　　　　　　　　　　　　 (塾平均)").size(), 3u)
                << what;
            EXPECT_EQ(textsStartingWith(page, "概算 レベル").size(), 3u) << what;
            // No number of them cut.
            EXPECT_EQ(textsStartingWith(page, "　　順位　　　　 1001位").size(), 3u) << what;
            EXPECT_EQ(textsStartingWith(page, "　　獲得ポイント120000点").size(), 3u) << what;
            EXPECT_EQ(textsStartingWith(page, "　　　　　　　　　　　　/3333333点").size(), 3u)
                << what;
        }
    }
}

TEST(ProgressGraph, TheAxisIsDatedWithTheStudentsOwnRunsOnly) {
    const double axisY = kScreen.height * 0.05 + kScreen.height / 3 * 0.8;
    // One run: its date once, not the date of another student's newer run as well.
    const GraphPage one = drawLevel1({run(kStudent, 1, 47, 10), run(3, 1, 52, 1)});
    EXPECT_EQ(datesBelowTheAxis(one, axisY), std::vector<std::string>{"2026/11/30"});
    // A first run that timed out is no record: the best line starts at the first real time.
    const GraphPage timedOut = drawLevel1(
        {run(kStudent, 1, 99999, 30), run(kStudent, 1, 60, 20), run(kStudent, 1, 50, 5)});
    EXPECT_EQ(dotColours(timedOut), (std::vector<GraphColour>{kGraphRed, kGraphRed}));
    EXPECT_EQ(blackLines(timedOut), 1u);
    EXPECT_EQ(datesBelowTheAxis(timedOut, axisY),
              (std::vector<std::string>{"2026/11/20", "2026/12/05"}));
}

TEST(ProgressGraph, WholeNumbersRoundHalvesAwayFromZero) {
    EXPECT_EQ(wholeNumberText(2.5), "3");
    EXPECT_EQ(wholeNumberText(3.5), "4");
    EXPECT_EQ(wholeNumberText(2.49), "2");
    EXPECT_EQ(wholeNumberText(-2.5), "-3");
}

}  // namespace
}  // namespace gaisan

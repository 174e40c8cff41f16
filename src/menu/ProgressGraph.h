#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "records/LoadedRecords.h"

namespace gaisan {

/// A colour as the suite writes colours: red in the lowest byte.
using GraphColour = std::uint32_t;
inline constexpr GraphColour kGraphBlack = 0;
inline constexpr GraphColour kGraphRuleColour = 1;
inline constexpr GraphColour kGraphRed = 255;
inline constexpr GraphColour kGraphBlue = 16711680;

/// Levels with statistics; a graph of a higher level cannot be drawn.
inline constexpr int kHighestGraphLevel = 30;

struct GraphPoint {
    double x = 0;
    double y = 0;
};

/// A line; its width is a drawing width of the surface: pixels of a screen at 96 dpi, or of a
/// printer at 600 dpi (see GraphSurface).
struct GraphLine {
    GraphPoint from;
    GraphPoint to;
    GraphColour colour = kGraphBlack;
    double width = 1;
};

/// A point set in a colour, as large as the drawing width.
struct GraphDot {
    GraphPoint at;
    GraphColour colour = kGraphBlack;
    double width = 1;
};

/// A text whose top-left corner is at `at`, in a font of `pointSize` points.
struct GraphText {
    GraphPoint at;
    std::string text;
    double pointSize = 6;
};

/// One screen or one printed page of graphs.
struct GraphPage {
    std::vector<GraphLine> lines;
    std::vector<GraphDot> dots;
    std::vector<GraphText> texts;
};

/// The surface drawn on, in its own units: positions are fractions of its width and height, so
/// one layout fits the panel on screen and an A4 page alike. The printer draws with thicker
/// lines (its drawing width counts pixels at 600 dpi) and a closer line step.
struct GraphSurface {
    double width = 1;
    double height = 1;
    bool printer = false;
};

/// The student's ranks and points on a level, from the level's work rankings.
struct LevelStatistics {
    std::string timeRank;     ///< three characters, such as " 12" or "---"; empty when not ranked
    std::string pointsRank;   ///< the same in the points ranking
    double points = 0;        ///< the student's total points on the level
    double pointsSumAll = 0;  ///< the total points of every ranked student with any
    int pointsHolders = 0;    ///< how many ranked students have any points
};

/// What is drawn for one student.
struct GraphRequest {
    int student = 0;
    std::string studentName;  ///< trimmed
    std::string subjectTitle;
    std::vector<int> levels;  ///< the chosen levels, in list order
    int levelCount = 0;
    std::vector<std::string> levelNames;  ///< by level, slot 0 unused
    int today = 0;                        ///< day serial
    bool studentInBand = true;            ///< the student's grade is in the menu's grade band
    double baseFontSize = 6;
};

/// The pages of one student's graphs; the screen shows the last page.
struct GraphDrawing {
    std::vector<GraphPage> pages;
    /// Chosen levels above kHighestGraphLevel, which are not drawn.
    std::vector<int> levelsNotDrawn;
};

/// The statistics of a level, from its rankings; called once per drawn level.
using StatisticsOf = std::function<LevelStatistics(int level)>;

/// Draws the progress graphs of `request.student` for the chosen levels from `records` (the
/// newest runs of the results file, oldest first). Each level takes a block of 0.3 of the
/// surface's height, from 0.05: three blocks to a page, and a fresh page for the fourth.
///
/// A block plots the student's runs of the last 3650 days on the level (levels above the level
/// count are not counted) in file order: x advances with each run under 1800 s, y is the time
/// against an axis up to the smallest multiple of 10 above the longest such run (at most
/// 1000 s). A run faster than every earlier plotted run is a red record point, joined to the
/// others by the black personal-best line; the rest are blue. Runs of 1800 s or more are
/// plotted where the count has got to but enter no sum, and a student whose runs are all that
/// long gets no points at all instead of a division by zero. Beside the graph a block of
/// statistics compares the student with the school: run count, time rank, best time (the
/// school's best counts failed runs, so it reads 99998 or 99999 when only those exist),
/// averages, points rank, points and the school's average points.
GraphDrawing drawProgressGraphs(const GraphRequest& request, std::span<const LoadedRecord> records,
                                const GraphSurface& surface, const StatisticsOf& statisticsOf);

/// A number as the statistics write it: the nearest whole number, halves away from zero.
std::string wholeNumberText(double value);

/// A day serial as yyyy/mm/dd.
std::string graphDateText(int daySerial);

}  // namespace gaisan

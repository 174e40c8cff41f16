#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "base/LoadedRecords.h"

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

/// A rectangle of the surface: its top-left corner and its size.
struct GraphRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
    bool contains(GraphPoint p) const {
        return p.x >= left && p.x <= right() && p.y >= top && p.y <= bottom();
    }
    bool contains(const GraphRect& r) const {
        return r.left >= left && r.right() <= right() && r.top >= top && r.bottom() <= bottom();
    }
    /// True when the two share more than an edge.
    bool intersects(const GraphRect& r) const {
        return r.left < right() && left < r.right() && r.top < bottom() && top < r.bottom();
    }
};

/// A line; its width is a drawing width of the surface: pixels of a screen at 96 dpi, or of a
/// printer at 600 dpi (see GraphSurface). It lies inside `area`, the part of the page it belongs
/// to, and is painted clipped to it, so that a thick pen cannot stray either.
struct GraphLine {
    GraphPoint from;
    GraphPoint to;
    GraphColour colour = kGraphBlack;
    double width = 1;
    GraphRect area;
};

/// A point set in a colour, as large as the drawing width, centred inside `area` and painted
/// clipped to it.
struct GraphDot {
    GraphPoint at;
    GraphColour colour = kGraphBlack;
    double width = 1;
    GraphRect area;
};

/// A text in a font of `pointSize` points whose measured box is `box` (its top-left corner is
/// where it is written); the box lies inside `area`, the part of the page it belongs to.
struct GraphText {
    GraphPoint at;
    std::string text;
    double pointSize = 6;
    GraphRect box;
    GraphRect area;
};

/// The size of a text as the surface will write it.
struct GraphTextSize {
    double width = 0;
    double height = 0;
};

/// Measures `text` in a font of `pointSize` points, in the surface's units: the painter's font
/// metrics on the device drawn on.
using MeasureText = std::function<GraphTextSize(const std::string& text, double pointSize)>;

/// One screen or one printed page of graphs. Its parts are the page's heading (the student's
/// name) and, per level, the block's heading band between its two rules, the graph (the left
/// half below the band) and the statistics (the right half); no text overlaps another and each
/// line, point and text stays inside its part.
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
    /// The surface's units a drawing width of 1 takes: its dots per inch over 96 on a screen,
    /// over 600 on a printer. Lines are drawn, and labels keep clear of them, by it.
    double dotsPerWidthUnit = 1;
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
/// plotted where the count has got to but enter no sum, the run count says how many it leaves
/// out, and a student whose runs are all that long gets no points at all instead of a division
/// by zero. Beside the graph a block of
/// statistics compares the student with the school: run count, time rank, best time (the
/// school's best counts failed runs, so it reads 99998 or 99999 when only those exist),
/// averages, points rank, points and the school's average points.
///
/// Only runs under 1800 s are record points: a time-up or a failed run is never a best, so an
/// off-scale first run cannot start the best line far above the graph. Every text is measured
/// with `measure` and placed where it overlaps no other text and stays inside its part of the
/// page: a label that collides, or that the best line would cross, is moved to a free spot near
/// its place, or left out when there is none; labels keep a clearance from each other (see
/// GraphTextPlacer); a fixed text too large for its part is written smaller. Numbers are never
/// cut: a longer one pushes its line to the right. Lines are clipped to the graph, and points
/// outside it are left out.
GraphDrawing drawProgressGraphs(const GraphRequest& request, std::span<const LoadedRecord> records,
                                const GraphSurface& surface, const StatisticsOf& statisticsOf,
                                const MeasureText& measure);

/// A number as the statistics write it: the nearest whole number, halves away from zero.
std::string wholeNumberText(double value);

/// A day serial as yyyy/mm/dd.
std::string graphDateText(int daySerial);

}  // namespace gaisan

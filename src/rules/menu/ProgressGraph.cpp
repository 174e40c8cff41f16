#include "rules/menu/ProgressGraph.h"

#include <algorithm>
#include <cmath>

#include "base/DateTexts.h"
#include "platform/Calendar.h"
#include "rules/menu/GraphLayout.h"
#include "rules/menu/RowTexts.h"

namespace gaisan {
namespace {

constexpr int kGraphDays = 3650;
/// Runs this long or longer are plotted but counted in nothing.
constexpr std::int32_t kLongestGraphedRun = 1800;
constexpr double kBlockHeight = 0.3;
constexpr double kFirstBlockTop = 0.05;
constexpr double kLastBlockTop = 0.9;

/// A record point: a run faster than every earlier one, with what its labels say.
struct RecordPoint {
    double x = 0;
    double yOffset = 0;  ///< from the block's top
    std::string timeText;
    int date = 0;
};

/// One level's block on a page whose top is `top`.
class GraphBlock {
public:
    GraphBlock(const GraphRequest& request, const GraphSurface& surface, GraphPage& page,
               double top, const MeasureText& measure)
        : m_request(request),
          m_surface(surface),
          m_page(page),
          m_texts(page, measure),
          m_f(surface.width / 2),
          m_c(surface.height / 3),
          m_n(top),
          m_drawWidth(surface.printer ? 30 : 5),
          m_band{0, top, surface.width, 0.09 * m_c},
          m_graph{0, top + 0.09 * m_c, m_f, 0.81 * m_c},
          m_statistics{m_f, top + 0.09 * m_c, surface.width - m_f, 0.81 * m_c} {}

    void draw(int level, std::span<const LoadedRecord> records, const LevelStatistics& statistics) {
        if (m_n < 0.08 * m_surface.height) {
            const GraphRect heading{0, 0, m_surface.width, m_n};
            m_texts.placeFixed(m_request.studentName, 3 * baseFont(), heading,
                               {0.01 * m_f, 0.02 * m_c});
        }
        const GraphRect page{0, 0, m_surface.width, m_surface.height};
        line({0, m_n}, {m_surface.width, m_n}, kGraphRuleColour, 2, page);
        line({0, m_n + 0.09 * m_c}, {m_surface.width, m_n + 0.09 * m_c}, kGraphRuleColour, 2, page);
        const std::string levelName = level < static_cast<int>(m_request.levelNames.size())
                                          ? m_request.levelNames[level]
                                          : "";
        m_texts.placeFixed(m_request.subjectTitle + " " + levelName,
                           (m_surface.printer ? 3 : 2) * baseFont(), m_band,
                           {0.7 * m_f, m_n + 0.01 * m_c});

        countStudentRuns(level, records);
        // The axes; the labels written later keep clear of them.
        if (line({0.2 * m_f, m_n + 0.8 * m_c}, {0.9 * m_f, m_n + 0.8 * m_c}, kGraphRuleColour,
                 m_drawWidth, m_graph)) {
            m_texts.avoid(m_page.lines.back(), thickness(m_drawWidth));
        }
        if (line({0.2 * m_f, m_n + 0.8 * m_c}, {0.2 * m_f, m_n + 0.1 * m_c}, kGraphBlack,
                 m_drawWidth, m_graph)) {
            m_texts.avoid(m_page.lines.back(), thickness(m_drawWidth));
        }
        m_timeScale = std::min(1000, 10 * (m_maxTime / 10 + 1));
        plotRuns(level, records);
        writeStatistics(statistics);
        labelRecordPoints();
    }

private:
    double baseFont() const { return m_surface.printer ? 6 : m_request.baseFontSize; }
    /// A drawing width in the surface's units.
    double thickness(double width) const { return width * m_surface.dotsPerWidthUnit; }

    /// A line, clipped to `area`; left out, and false, when none of it is inside.
    bool line(GraphPoint from, GraphPoint to, GraphColour colour, double width,
              const GraphRect& area) {
        const auto inside = clippedSegment(from, to, area);
        if (inside) m_page.lines.push_back({inside->first, inside->second, colour, width, area});
        return inside.has_value();
    }
    /// A point of the graph; left out when it lies outside the graph (a run far above the axis).
    void dot(GraphPoint at, GraphColour colour) {
        if (m_graph.contains(at)) m_page.dots.push_back({at, colour, m_drawWidth, m_graph});
    }

    bool counted(const LoadedRecord& record) const {
        return record.date > m_request.today - kGraphDays && record.level <= m_request.levelCount;
    }

    /// The first pass: the student's runs under 1800 s on the level, and how many took longer.
    void countStudentRuns(int level, std::span<const LoadedRecord> records) {
        for (const LoadedRecord& record : records) {
            if (!counted(record) || record.student != m_request.student || record.level != level) {
                continue;
            }
            if (record.seconds >= kLongestGraphedRun) {
                ++m_longRuns;
                continue;
            }
            ++m_runTotal;
            m_timeSum += record.seconds;
            m_maxTime = std::max(m_maxTime, record.seconds);
        }
    }

    /// The second pass: the school's best and average, and the student's points.
    void plotRuns(int level, std::span<const LoadedRecord> records) {
        int k = 0;
        for (const LoadedRecord& record : records) {
            if (!counted(record) || record.level != level) continue;
            if (record.seconds < kLongestGraphedRun) {
                m_schoolSum += record.seconds;
                ++m_schoolCount;
            }
            m_schoolBest = std::min(m_schoolBest, record.seconds);
            if (record.student != m_request.student) continue;
            if (record.seconds < kLongestGraphedRun) ++k;
            // With no run under 1800 s there is no x to put a point at.
            if (!m_request.studentInBand || m_runTotal == 0) continue;
            const double x = m_f * (0.2 + 0.7 * k / m_runTotal);
            const double yOffset = m_c * (0.8 - 0.7 * record.seconds / m_timeScale);
            // A time-up or a failed run is no time at all: never a best, so it cannot start the
            // best line from far above the graph.
            const bool record_ =
                record.seconds < kLongestGraphedRun &&
                (m_recordPoints.empty() || yOffset > m_recordPoints.back().yOffset);
            if (record_) {
                m_recordPoints.push_back({x, yOffset, std::to_string(record.seconds) + "秒",
                                          static_cast<int>(record.date)});
            }
            if (record.seconds < kLongestGraphedRun) {
                m_lastRunX = x;
                m_lastRunDate = static_cast<int>(record.date);
            }
            dot({x, m_n + yOffset}, record_ ? kGraphRed : kGraphBlue);
        }
    }

    void writeStatistics(const LevelStatistics& statistics) {
        const std::string best = m_recordPoints.empty() ? "" : m_recordPoints.back().timeText;
        // The runs of 1800 s or more (time-ups and failed runs among them) are in no count:
        // the count says how many it leaves out, so that it is not taken for every run.
        const std::string longRuns =
            m_longRuns == 0 ? "" : "（ほかに1800秒以上 " + std::to_string(m_longRuns) + "回）";
        // Lines left empty keep their space, so the lines below stay where they always are.
        const std::vector<std::string> lines = {
            "回数　　　　　　　" + rightAlignedWhole(wholeNumberText(m_runTotal), 3) + "回" +
                longRuns,
            "タイム  　　 　    本人 / 塾全体",
            "　　順位　　　　" + rightAlignedWhole(statistics.timeRank, 5) + "位",
            "　　最高　　　　" + rightAlignedWhole(best, 6) + " /" +
                rightAlignedWhole(wholeNumberText(m_schoolBest), 5) + "秒",
            m_runTotal == 0
                ? ""
                : "　　平均　　　　" +
                      rightAlignedWhole(wholeNumberText(std::floor(m_timeSum / m_runTotal)), 5) +
                      "秒" + " /" +
                      rightAlignedWhole(wholeNumberText(m_schoolSum / m_schoolCount), 5) + "秒",
            "ポイント  　　　",
            "　　順位　　　　" + rightAlignedWhole(statistics.pointsRank, 5) + "位",
            "　　獲得ポイント" + rightAlignedWhole(wholeNumberText(statistics.points), 5) + "点",
            statistics.pointsHolders == 0
                ? ""
                : "　　　　　　　　　　　　/" +
                      rightAlignedWhole(
                          wholeNumberText(statistics.pointsSumAll / statistics.pointsHolders), 5) +
                      "点",
        };
        const std::string schoolAverage = "　　　　　　　　　　　　 (塾平均)";

        // The lines go a step apart and the school-average note half a step below the last;
        // where the font is taller than that, each goes just below the one before, and where
        // the block is then too short, the lines are written smaller.
        const double step = (m_surface.printer ? 0.06 : 0.08) * m_c;
        double size = 1.5 * baseFont();
        std::vector<double> tops;
        for (int attempt = 0; attempt < 12; ++attempt, size *= 0.9) {
            tops.clear();
            double y = m_n + 0.05 * m_c;
            double width = m_texts.measure(schoolAverage, size).width;
            double height = m_texts.measure(schoolAverage, size).height;
            for (const std::string& words : lines) {
                const GraphTextSize one = m_texts.measure(words.empty() ? "　" : words, size);
                width = std::max(width, one.width);
                height = std::max(height, one.height);
                y = tops.empty() ? y + step : std::max(y + step, tops.back() + height);
                tops.push_back(y);
            }
            tops.push_back(std::max(tops.back() + step / 2, tops.back() + height));
            if (tops.back() + height <= m_statistics.bottom() &&
                1.05 * m_f + width <= m_statistics.right()) {
                break;
            }
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!lines[i].empty())
                m_texts.placeFixed(lines[i], size, m_statistics, {1.05 * m_f, tops[i]});
        }
        m_texts.placeFixed(schoolAverage, size, m_statistics, {1.05 * m_f, tops.back()});
    }

    /// A record point's date: in full, or as mm/dd when its year is that of the point before.
    std::string dateLabel(std::size_t index) const {
        const std::string full = graphDateText(m_recordPoints[index].date);
        if (index == 0) return full;
        const std::string before = graphDateText(m_recordPoints[index - 1].date);
        return full.substr(0, 5) == before.substr(0, 5) ? full.substr(5) : full;
    }

    /// A label of a point at (x, y): below it by `offset` as usual, else just below, above,
    /// right or left of the point, or off its lower left or upper right corner, wherever it has
    /// room. The best line falls from the upper left to the lower right through a record point,
    /// so the last two are clear of it.
    void labelPoint(const std::vector<std::string>& lines, double x, double y, double offset) {
        const double size = baseFont();
        const GraphTextSize box = m_texts.measure(lines, size);
        const double gap = 0.02 * m_c;
        const double side = 0.02 * m_f;
        (void)m_texts.place(lines, size, m_graph,
                            {{x - 0.025 * m_f, y + offset},
                             {x - 0.025 * m_f, y + gap},
                             {x - 0.025 * m_f, y - gap - box.height},
                             {x + side, y - box.height / 2},
                             {x - side - box.width, y - box.height / 2},
                             {x - side - box.width, y + gap},
                             {x + side, y - gap - box.height}});
    }

    /// A date below the x axis at the run at `x`, or in a second row when the first is taken.
    void labelAxisDate(const std::string& date, double x) {
        const double size = baseFont();
        const double width = m_texts.measure(date, size).width;
        const double height = m_texts.measure(date, size).height;
        const double clearance = GraphTextPlacer::clearance(height);
        const double row = m_n + 0.8 * m_c + thickness(m_drawWidth) / 2 + clearance;
        const double secondRow = row + height + clearance;
        // A date that finds no room is left out (the statistics and the points still show).
        (void)m_texts.place({date}, size, m_graph,
                            {{x - 0.025 * m_f, row},
                             {x + 0.025 * m_f - width, row},
                             {x - 0.025 * m_f, secondRow},
                             {x + 0.025 * m_f - width, secondRow}});
    }

    void labelRecordPoints() {
        if (m_recordPoints.empty()) return;
        const double size = baseFont();
        for (std::size_t p = 1; p < m_recordPoints.size(); ++p) {
            const RecordPoint& a = m_recordPoints[p - 1];
            const RecordPoint& b = m_recordPoints[p];
            if (line({a.x, m_n + a.yOffset}, {b.x, m_n + b.yOffset}, kGraphBlack, 3, m_graph))
                m_texts.avoid(m_page.lines.back(), thickness(3));
        }
        // One line away, with the clearance labels keep.
        const double height = m_texts.measure("0秒", size).height;
        const double unit = height + GraphTextPlacer::clearance(height);
        (void)m_texts.place({"0秒"}, size, m_graph, {{0.12 * m_f, m_n + 0.79 * m_c}});
        (void)m_texts.place({std::to_string(m_timeScale) + "秒"}, size, m_graph,
                            {{0.12 * m_f, m_n + 0.1 * m_c}});
        const RecordPoint& first = m_recordPoints.front();
        labelAxisDate(graphDateText(first.date), first.x);
        // The axis ends with the date of the student's own newest run: one run has one date.
        if (m_lastRunX != first.x) labelAxisDate(graphDateText(m_lastRunDate), m_lastRunX);
        const std::size_t count = m_recordPoints.size();
        const RecordPoint& newest = m_recordPoints.back();
        labelPoint({newest.timeText, dateLabel(count - 1)}, newest.x, m_n + newest.yOffset,
                   0.04 * m_c);
        const double firstY = m_n + first.yOffset - 0.01 * m_c;
        (void)m_texts.place(
            {first.timeText}, size, m_graph,
            {{0.12 * m_f, firstY}, {0.12 * m_f, firstY - unit}, {0.12 * m_f, firstY + unit}});
        if (count > 5) {
            for (std::size_t p = 3; p + 2 <= count; p += 3) {
                const RecordPoint& point = m_recordPoints[p - 1];
                labelPoint({point.timeText, dateLabel(p - 1)}, point.x, m_n + point.yOffset,
                           0.01 * m_c);
            }
        }
    }

    const GraphRequest& m_request;
    const GraphSurface& m_surface;
    GraphPage& m_page;
    GraphTextPlacer m_texts;
    double m_f;
    double m_c;
    double m_n;
    double m_drawWidth;
    GraphRect m_band;        ///< the heading, between the block's two rules
    GraphRect m_graph;       ///< the left half below the band
    GraphRect m_statistics;  ///< the right half below the band
    int m_runTotal = 0;
    int m_longRuns = 0;  ///< the student's runs of 1800 s or more, in no count
    double m_timeSum = 0;
    std::int32_t m_maxTime = 0;
    int m_timeScale = 200;
    std::int32_t m_schoolBest = 99999;
    double m_schoolSum = 0;
    int m_schoolCount = 0;
    double m_lastRunX = 0;
    int m_lastRunDate = 0;
    std::vector<RecordPoint> m_recordPoints;
};

}  // namespace

std::string wholeNumberText(double value) { return std::to_string(std::llround(value)); }

std::string graphDateText(int daySerial) { return slashDateText(dateOfSerial(daySerial)); }

GraphDrawing drawProgressGraphs(const GraphRequest& request, std::span<const LoadedRecord> records,
                                const GraphSurface& surface, const StatisticsOf& statisticsOf,
                                const MeasureText& measure) {
    GraphDrawing drawing;
    drawing.pages.emplace_back();
    double top = (kFirstBlockTop - kBlockHeight) * surface.height;
    for (const int level : request.levels) {
        if (level > request.levelCount) break;
        if (level > kHighestGraphLevel) {
            drawing.levelsNotDrawn.push_back(level);
            continue;
        }
        top += kBlockHeight * surface.height;
        if (top > kLastBlockTop * surface.height) {
            drawing.pages.emplace_back();
            top = kFirstBlockTop * surface.height;
        }
        GraphBlock(request, surface, drawing.pages.back(), top, measure)
            .draw(level, records, statisticsOf(level));
    }
    return drawing;
}

}  // namespace gaisan

#include "menu/ProgressGraph.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/Calendar.h"
#include "platform/Utf8.h"

namespace gaisan {
namespace {

constexpr int kGraphDays = 3650;
/// Runs this long or longer are plotted but counted in nothing.
constexpr std::int32_t kLongestGraphedRun = 1800;
constexpr double kBlockHeight = 0.3;
constexpr double kFirstBlockTop = 0.05;
constexpr double kLastBlockTop = 0.9;

std::string last(std::string_view padding, std::string_view text, std::size_t count) {
    return std::string(lastCharacters(std::string(padding) + std::string(text), count));
}

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
               double top)
        : m_request(request),
          m_surface(surface),
          m_page(page),
          m_f(surface.width / 2),
          m_c(surface.height / 3),
          m_n(top),
          m_drawWidth(surface.printer ? 30 : 5) {}

    void draw(int level, std::span<const LoadedRecord> records, const LevelStatistics& statistics) {
        if (m_n < 0.08 * m_surface.height) {
            text({0.01 * m_f, 0.02 * m_c}, m_request.studentName, 3 * baseFont());
        }
        line({0, m_n}, {m_surface.width, m_n}, kGraphRuleColour, 2);
        line({0, m_n + 0.09 * m_c}, {m_surface.width, m_n + 0.09 * m_c}, kGraphRuleColour, 2);
        const std::string levelName = level < static_cast<int>(m_request.levelNames.size())
                                          ? m_request.levelNames[level]
                                          : "";
        text({0.7 * m_f, m_n + 0.01 * m_c}, m_request.subjectTitle + " " + levelName,
             (m_surface.printer ? 3 : 2) * baseFont());

        countStudentRuns(level, records);
        line({0.2 * m_f, m_n + 0.8 * m_c}, {0.9 * m_f, m_n + 0.8 * m_c}, kGraphRuleColour,
             m_drawWidth);
        line({0.2 * m_f, m_n + 0.8 * m_c}, {0.2 * m_f, m_n + 0.1 * m_c}, kGraphBlack, m_drawWidth);
        m_timeScale = std::min(1000, 10 * (m_maxTime / 10 + 1));
        plotRuns(level, records);
        writeStatistics(statistics);
        labelRecordPoints();
    }

private:
    double baseFont() const { return m_surface.printer ? 6 : m_request.baseFontSize; }

    void line(GraphPoint from, GraphPoint to, GraphColour colour, double width) {
        m_page.lines.push_back({from, to, colour, width});
    }
    void text(GraphPoint at, std::string words, double size) {
        m_page.texts.push_back({at, std::move(words), size});
    }

    bool counted(const LoadedRecord& record) const {
        return record.date > m_request.today - kGraphDays && record.level <= m_request.levelCount;
    }

    /// The first pass: the student's runs under 1800 s on the level.
    void countStudentRuns(int level, std::span<const LoadedRecord> records) {
        for (const LoadedRecord& record : records) {
            if (!counted(record) || record.student != m_request.student || record.level != level ||
                record.seconds >= kLongestGraphedRun) {
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
            if (!counted(record)) continue;
            m_newestDate = static_cast<int>(record.date);
            if (record.level != level) continue;
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
            m_lastPlottedX = x;
            const bool record_ = m_recordPoints.empty() || yOffset > m_recordPoints.back().yOffset;
            if (record_) {
                m_recordPoints.push_back({x, yOffset, std::to_string(record.seconds) + "秒",
                                          static_cast<int>(record.date)});
            }
            m_page.dots.push_back(
                {{x, m_n + yOffset}, record_ ? kGraphRed : kGraphBlue, m_drawWidth});
        }
    }

    void writeStatistics(const LevelStatistics& statistics) {
        const double size = 1.5 * baseFont();
        const double step = (m_surface.printer ? 0.06 : 0.08) * m_c;
        double y = m_n + 0.05 * m_c;
        const auto next = [&](const std::string& words, bool shown = true) {
            y += step;
            if (shown) text({1.05 * m_f, y}, words, size);
        };
        const std::string best = m_recordPoints.empty() ? "" : m_recordPoints.back().timeText;
        next("回数　　　　　　　" + last("      ", wholeNumberText(m_runTotal), 3) + "回");
        next("タイム  　　 　    本人 / 塾全体");
        next("　　順位　　　　" + last("     ", statistics.timeRank, 5) + "位");
        next("　　最高　　　　" + last("      ", best, 6) + " /" +
             last("      ", wholeNumberText(m_schoolBest), 5) + "秒");
        next(m_runTotal == 0
                 ? ""
                 : "　　平均　　　　" +
                       last("      ", wholeNumberText(std::floor(m_timeSum / m_runTotal)), 5) +
                       "秒" + " /" +
                       last("      ", wholeNumberText(m_schoolSum / m_schoolCount), 5) + "秒",
             m_runTotal != 0);
        next("ポイント  　　　");
        next("　　順位　　　　" + last("      ", statistics.pointsRank, 5) + "位");
        next("　　獲得ポイント" + last("      ", wholeNumberText(statistics.points), 5) + "点");
        next(
            statistics.pointsHolders == 0
                ? ""
                : "　　　　　　　　　　　　/" +
                      last("      ",
                           wholeNumberText(statistics.pointsSumAll / statistics.pointsHolders), 5) +
                      "点",
            statistics.pointsHolders != 0);
        y += step / 2;
        text({1.05 * m_f, y}, "　　　　　　　　　　　　 (塾平均)", size);
    }

    /// A record point's date: in full, or as mm/dd when its year is that of the point before.
    std::string dateLabel(std::size_t index) const {
        const std::string full = graphDateText(m_recordPoints[index].date);
        if (index == 0) return full;
        const std::string before = graphDateText(m_recordPoints[index - 1].date);
        return full.substr(0, 5) == before.substr(0, 5) ? full.substr(5) : full;
    }

    void labelRecordPoints() {
        if (m_recordPoints.empty()) return;
        const double size = baseFont();
        text({m_lastPlottedX - 0.025 * m_f, m_n + 0.815 * m_c}, graphDateText(m_newestDate), size);
        for (std::size_t p = 1; p < m_recordPoints.size(); ++p) {
            const RecordPoint& a = m_recordPoints[p - 1];
            const RecordPoint& b = m_recordPoints[p];
            line({a.x, m_n + a.yOffset}, {b.x, m_n + b.yOffset}, kGraphBlack, 3);
        }
        text({0.12 * m_f, m_n + 0.79 * m_c}, "0秒", size);
        text({0.12 * m_f, m_n + 0.1 * m_c}, std::to_string(m_timeScale) + "秒", size);
        const RecordPoint& first = m_recordPoints.front();
        text({0.12 * m_f, m_n + first.yOffset - 0.01 * m_c}, first.timeText, size);
        text({first.x - 0.025 * m_f, m_n + 0.815 * m_c}, graphDateText(first.date), size);
        const std::size_t count = m_recordPoints.size();
        if (count > 5) {
            for (std::size_t p = 3; p + 2 <= count; p += 3) {
                const RecordPoint& point = m_recordPoints[p - 1];
                text({point.x - 0.025 * m_f, m_n + point.yOffset + 0.01 * m_c}, point.timeText,
                     size);
                text({point.x - 0.025 * m_f, m_n + point.yOffset + 0.03 * m_c}, dateLabel(p - 1),
                     size);
            }
        }
        const RecordPoint& newest = m_recordPoints.back();
        text({newest.x - 0.025 * m_f, m_n + newest.yOffset + 0.04 * m_c}, newest.timeText, size);
        text({newest.x - 0.025 * m_f, m_n + newest.yOffset + 0.07 * m_c}, dateLabel(count - 1),
             size);
    }

    const GraphRequest& m_request;
    const GraphSurface& m_surface;
    GraphPage& m_page;
    double m_f;
    double m_c;
    double m_n;
    double m_drawWidth;
    int m_runTotal = 0;
    double m_timeSum = 0;
    std::int32_t m_maxTime = 0;
    int m_timeScale = 200;
    std::int32_t m_schoolBest = 99999;
    double m_schoolSum = 0;
    int m_schoolCount = 0;
    int m_newestDate = 0;
    double m_lastPlottedX = 0;
    std::vector<RecordPoint> m_recordPoints;
};

}  // namespace

std::string wholeNumberText(double value) { return std::to_string(std::llround(value)); }

std::string graphDateText(int daySerial) {
    const CivilDate date = dateOfSerial(daySerial);
    char text[16];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", date.year, date.month, date.day);
    return text;
}

GraphDrawing drawProgressGraphs(const GraphRequest& request, std::span<const LoadedRecord> records,
                                const GraphSurface& surface, const StatisticsOf& statisticsOf) {
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
        GraphBlock(request, surface, drawing.pages.back(), top)
            .draw(level, records, statisticsOf(level));
    }
    return drawing;
}

}  // namespace gaisan

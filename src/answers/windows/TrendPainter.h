#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>

#include <vector>

#include "answers/MistakeReport.h"

class QPaintDevice;
class QPainter;

namespace gaisan {

/// The colour of line `index` of a trend chart: the wrong share in black, the kinds in colours
/// that stay apart on a black-and-white print too (each line also has its own dash).
QColor trendColour(std::size_t index);

/// A week's label on the chart's time axis and the rectangle it is drawn in.
struct WeekLabel {
    std::size_t week = 0;
    QRectF box;
};

/// The week labels paintTrend draws for `trend` in `area` with `font` on `device`: the first
/// week's and then every n-th, n the smallest step at which no label's rectangle (each its own
/// text's width, the first kept clear of the percentages and the last inside the area) comes
/// within half a space of the one before.
std::vector<WeekLabel> trendWeekLabels(const QRectF& area, const Trend& trend, const QFont& font,
                                       QPaintDevice* device);

/// Draws `trend` into `area` of `painter` in `font`: the weeks along the bottom (trendWeekLabels),
/// 0 to 100% up the side, a line per series with a dot per week, and the legend under it. The same
/// drawing serves the screen and the printed page. A trend without weeks draws "答えがありません".
void paintTrend(QPainter& painter, const QRectF& area, const Trend& trend, const QFont& font);

}  // namespace gaisan

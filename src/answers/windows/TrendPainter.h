#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>

#include "answers/MistakeReport.h"

class QPainter;

namespace gaisan {

/// The colour of line `index` of a trend chart: the wrong share in black, the kinds in colours
/// that stay apart on a black-and-white print too (each line also has its own dash).
QColor trendColour(std::size_t index);

/// Draws `trend` into `area` of `painter` in `font`: the weeks along the bottom (as many labels
/// as fit without touching), 0 to 100% up the side, a line per series with a dot per week, and
/// the legend under it. The same drawing serves the screen and the printed page. A trend without
/// weeks draws "答えがありません".
void paintTrend(QPainter& painter, const QRectF& area, const Trend& trend, const QFont& font);

}  // namespace gaisan

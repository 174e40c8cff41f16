#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>

#include <vector>

#include "rules/analysis/MistakeScreenTexts.h"

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

/// Where paintTrend puts the texts of a chart, each rectangle as wide and tall as its text.
struct TrendTexts {
    std::vector<WeekLabel> weeks;
    std::vector<QRectF> percents;  ///< "100%", "50%" and "0%", right-aligned beside the plot
    std::vector<QRectF> legend;    ///< each line's swatch and name
    QRectF leftOutNote;            ///< Trend::leftOutNote, wrapped; empty without one
};

/// The texts paintTrend draws for `trend` in `area` with `font` on `device`, all inside the area.
/// The weeks are drawn inset from the plot's sides by half the widest label, so that each label
/// stands centred under its week and the first keeps a space from the percentages; the first
/// week is labelled and then every n-th, n the smallest step at which no two labels come within
/// half a space. The legend and the note of the kinds left out go under the labels.
TrendTexts trendTexts(const QRectF& area, const Trend& trend, const QFont& font,
                      QPaintDevice* device);

/// Draws `trend` into `area` of `painter` in `font`: the weeks along the bottom, 0 to 100% up the
/// side, a line per series with a dot per week, the legend under it and the kinds left out under
/// that (trendTexts). The same drawing serves the screen and the printed page. A trend without
/// weeks draws "答えがありません".
void paintTrend(QPainter& painter, const QRectF& area, const Trend& trend, const QFont& font);

}  // namespace gaisan

#include "answers/windows/TrendPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

#include "app/windows/QtConversions.h"

namespace gaisan {
namespace {

struct LegendItem {
    QString name;
    QRectF box;  ///< swatch and name together
};

Qt::PenStyle trendDash(std::size_t index) {
    static constexpr std::array<Qt::PenStyle, 5> kDashes = {
        Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine};
    return kDashes.at(index % kDashes.size());
}

}  // namespace

QColor trendColour(std::size_t index) {
    static const std::array<QColor, 5> kColours = {QColor(0, 0, 0), QColor(210, 40, 40),
                                                   QColor(30, 90, 200), QColor(20, 140, 60),
                                                   QColor(200, 120, 0)};
    return kColours.at(index % kColours.size());
}

namespace {

/// Where the parts of a chart go: the plot, the legend under it and the week labels.
struct TrendLayout {
    double line = 0;
    double swatch = 0;
    double gap = 0;
    double axisWidth = 0;
    QRectF plot;
    std::vector<LegendItem> legend;
    std::vector<WeekLabel> labels;

    /// The x of week `week` of `weeks`.
    double xOf(std::size_t week, std::size_t weeks) const {
        return weeks == 1 ? plot.center().x()
                          : plot.left() + plot.width() * static_cast<double>(week) /
                                              static_cast<double>(weeks - 1);
    }
};

TrendLayout trendLayout(const QRectF& area, const Trend& trend, const QFontMetricsF& metrics) {
    TrendLayout layout;
    layout.line = metrics.height();
    const double line = layout.line;
    // The legend flows under the chart, as many rows as its names need.
    layout.swatch = metrics.horizontalAdvance(QStringLiteral("ーー"));
    layout.gap = metrics.horizontalAdvance(QStringLiteral("　"));
    const double gap = layout.gap;
    double x = area.left();
    int rows = 1;
    for (const TrendSeries& series : trend.series) {
        const QString name = toQString(series.name);
        const double width = layout.swatch + gap / 2 + metrics.horizontalAdvance(name);
        if (x > area.left() && x + width > area.right()) {
            x = area.left();
            ++rows;
        }
        layout.legend.push_back({name, QRectF(x, 0, width, line)});
        x += width + gap;
    }
    const double legendTop = area.bottom() - rows * line;
    {
        // The rows are counted above; now that the legend's height is known, place them.
        double rowX = area.left();
        int row = 0;
        for (LegendItem& item : layout.legend) {
            if (rowX > area.left() && rowX + item.box.width() > area.right()) {
                rowX = area.left();
                ++row;
            }
            item.box.moveTo(rowX, legendTop + row * line);
            rowX += item.box.width() + gap;
        }
    }

    layout.axisWidth = metrics.horizontalAdvance(QStringLiteral("100%")) + gap / 2;
    layout.plot =
        QRectF(area.left() + layout.axisWidth, area.top() + line / 2,
               area.width() - layout.axisWidth - gap / 2, legendTop - line * 1.6 - area.top());

    // Each label where it is drawn: centred under its week, but never left of the plot, where
    // the percentages are, nor past the area's right edge.
    const std::size_t weeks = trend.mondays.size();
    const auto labelAt = [&](std::size_t week) {
        const QString text = toQString(trend.labels.at(week));
        const double width = metrics.horizontalAdvance(text);
        const double left = std::clamp(layout.xOf(week, weeks) - width / 2, layout.plot.left(),
                                       std::max(layout.plot.left(), area.right() - width));
        return WeekLabel{week, QRectF(left, layout.plot.bottom() + line * 0.2, width, line)};
    };
    // Every label is measured where it is actually drawn, the nudged first one included, so
    // that a step that looks wide enough on average still never lets two labels touch.
    const auto clearAt = [&](std::size_t step) {
        for (std::size_t week = step; week < weeks; week += step) {
            if (labelAt(week - step).box.right() + gap / 2 > labelAt(week).box.left()) return false;
        }
        return true;
    };
    std::size_t step = 1;
    while (step < weeks && !clearAt(step)) ++step;
    for (std::size_t week = 0; week < weeks; week += step) layout.labels.push_back(labelAt(week));
    return layout;
}

}  // namespace

std::vector<WeekLabel> trendWeekLabels(const QRectF& area, const Trend& trend, const QFont& font,
                                       QPaintDevice* device) {
    if (trend.mondays.empty()) return {};
    return trendLayout(area, trend, QFontMetricsF(font, device)).labels;
}

void paintTrend(QPainter& painter, const QRectF& area, const Trend& trend, const QFont& font) {
    painter.save();
    painter.setFont(font);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF metrics(font, painter.device());
    if (trend.mondays.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("答えがありません"));
        painter.restore();
        return;
    }
    const TrendLayout layout = trendLayout(area, trend, metrics);
    const double line = layout.line;
    const double swatch = layout.swatch;
    const double gap = layout.gap;
    const double axisWidth = layout.axisWidth;
    const QRectF& plot = layout.plot;
    const std::vector<LegendItem>& legend = layout.legend;
    const double penWidth = std::max(1.0, area.height() / 160);

    // The grid: 0, 50 and 100%.
    painter.setPen(QPen(QColor(200, 200, 200), penWidth / 2));
    for (const int percent : {0, 50, 100}) {
        const double y = plot.bottom() - plot.height() * percent / 100;
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(area.left(), y - line / 2, axisWidth - gap / 4, line),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(percent) + u'%');
        painter.setPen(QPen(QColor(200, 200, 200), penWidth / 2));
    }

    const std::size_t weeks = trend.mondays.size();
    const auto xOf = [&](std::size_t week) { return layout.xOf(week, weeks); };
    painter.setPen(Qt::black);
    for (const WeekLabel& label : layout.labels) {
        painter.drawText(label.box, Qt::AlignCenter, toQString(trend.labels[label.week]));
    }

    // The lines, the wrong share last so that it lies on top.
    for (std::size_t index = trend.series.size(); index-- > 0;) {
        const TrendSeries& series = trend.series[index];
        const QColor colour = trendColour(index);
        QPen pen(colour, index == 0 ? penWidth * 2 : penWidth, trendDash(index));
        painter.setPen(pen);
        std::optional<QPointF> previous;
        for (std::size_t week = 0; week < weeks && week < series.values.size(); ++week) {
            if (!series.values[week]) {
                previous.reset();
                continue;
            }
            const QPointF point(
                xOf(week),
                plot.bottom() - plot.height() * std::clamp(*series.values[week], 0.0, 1.0));
            if (previous) painter.drawLine(*previous, point);
            previous = point;
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        const double dot = penWidth * (index == 0 ? 2.5 : 1.8);
        for (std::size_t week = 0; week < weeks && week < series.values.size(); ++week) {
            if (!series.values[week]) continue;
            painter.drawEllipse(
                QPointF(xOf(week),
                        plot.bottom() - plot.height() * std::clamp(*series.values[week], 0.0, 1.0)),
                dot, dot);
        }
        painter.setBrush(Qt::NoBrush);
    }

    for (std::size_t index = 0; index < legend.size(); ++index) {
        const LegendItem& item = legend[index];
        painter.setPen(
            QPen(trendColour(index), index == 0 ? penWidth * 2 : penWidth, trendDash(index)));
        const double y = item.box.center().y();
        painter.drawLine(QPointF(item.box.left(), y), QPointF(item.box.left() + swatch, y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(item.box.left() + swatch + gap / 2, item.box.top(),
                                item.box.width() - swatch - gap / 2, line),
                         Qt::AlignLeft | Qt::AlignVCenter, item.name);
    }
    painter.restore();
}

}  // namespace gaisan

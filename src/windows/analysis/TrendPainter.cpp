#include "windows/analysis/TrendPainter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

#include "kit/QtConversions.h"

namespace gaisan {
namespace {

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

constexpr std::array<int, 3> kGridPercents = {100, 50, 0};
constexpr int kNoteFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

/// Where the parts of a chart go: the plot, the texts around it and the weeks' places.
struct TrendLayout {
    double line = 0;
    double swatch = 0;
    double gap = 0;
    QRectF plot;
    double firstX = 0;  ///< the x of the first week and of the last
    double lastX = 0;
    TrendTexts texts;

    /// The x of week `week` of `weeks`.
    double xOf(std::size_t week, std::size_t weeks) const {
        return weeks == 1 ? (firstX + lastX) / 2
                          : firstX + (lastX - firstX) * static_cast<double>(week) /
                                         static_cast<double>(weeks - 1);
    }
};

TrendLayout trendLayout(const QRectF& area, const Trend& trend, const QFontMetricsF& metrics) {
    TrendLayout layout;
    layout.line = metrics.height();
    const double line = layout.line;
    layout.swatch = metrics.horizontalAdvance(QStringLiteral("ーー"));
    layout.gap = metrics.horizontalAdvance(QStringLiteral("　"));
    const double gap = layout.gap;

    // From the bottom up: the note of the kinds left out, wrapped to the area's width; the
    // legend, flowing in as many rows as its names need; the week labels half a space above it.
    double bottom = area.bottom();
    if (!trend.leftOutNote.empty()) {
        const QRectF note = metrics.boundingRect(QRectF(area.left(), 0, area.width(), 1e9),
                                                 kNoteFlags, toQString(trend.leftOutNote));
        bottom -= note.height();
        layout.texts.leftOutNote = note.translated(0, bottom);
    }
    std::vector<double> widths;
    int rows = 1;
    for (double x = area.left(); const TrendSeries& series : trend.series) {
        const double width =
            layout.swatch + gap / 2 + metrics.horizontalAdvance(toQString(series.name));
        if (x > area.left() && x + width > area.right()) x = area.left(), ++rows;
        widths.push_back(width);
        x += width + gap;
    }
    const double legendTop = bottom - rows * line;
    for (double x = area.left(), y = legendTop; const double width : widths) {
        if (x > area.left() && x + width > area.right()) x = area.left(), y += line;
        layout.texts.legend.emplace_back(x, y, width, line);
        x += width + gap;
    }
    const double labelsTop = legendTop - gap / 2 - line;

    // The percentages end half a space left of the plot; "0%" reaches below the plot's bottom
    // and sits beside the first week's label, which the inset keeps a space away.
    const double percentsWidth = metrics.horizontalAdvance(QStringLiteral("100%"));
    const double plotTop = area.top() + line / 2;
    const double plotLeft = area.left() + percentsWidth + gap / 2;
    layout.plot = QRectF(plotLeft, plotTop, area.right() - gap / 2 - plotLeft,
                         labelsTop - line * 0.2 - plotTop);
    for (const int percent : kGridPercents) {
        const double width = metrics.horizontalAdvance(QString::number(percent) + u'%');
        const double y = layout.plot.bottom() - layout.plot.height() * percent / 100;
        layout.texts.percents.emplace_back(area.left() + percentsWidth - width, y - line / 2, width,
                                           line);
    }

    const std::size_t weeks = trend.mondays.size();
    // The weeks are inset by half the widest label and half a space, so that every label stands
    // centred under its own week, inside the plot, the first a whole space right of "0%".
    double widest = 0;
    for (const std::string& label : trend.labels)
        widest = std::max(widest, metrics.horizontalAdvance(toQString(label)));
    layout.firstX = layout.plot.left() + widest / 2 + gap / 2;
    layout.lastX = std::max(layout.firstX, layout.plot.right() - widest / 2 - gap / 2);
    const auto labelAt = [&](std::size_t week) {
        const double width = metrics.horizontalAdvance(toQString(trend.labels.at(week)));
        return WeekLabel{week, QRectF(layout.xOf(week, weeks) - width / 2, labelsTop, width, line)};
    };
    const auto clearAt = [&](std::size_t step) {
        for (std::size_t week = step; week < weeks; week += step) {
            if (labelAt(week - step).box.right() + gap / 2 > labelAt(week).box.left()) return false;
        }
        return true;
    };
    std::size_t step = 1;
    while (step < weeks && !clearAt(step)) ++step;
    for (std::size_t week = 0; week < weeks; week += step)
        layout.texts.weeks.push_back(labelAt(week));
    return layout;
}

}  // namespace

TrendTexts trendTexts(const QRectF& area, const Trend& trend, const QFont& font,
                      QPaintDevice* device) {
    if (trend.mondays.empty()) return {};
    return trendLayout(area, trend, QFontMetricsF(font, device)).texts;
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
    const QRectF& plot = layout.plot;
    const double penWidth = std::max(1.0, area.height() / 160);

    // The grid: 0, 50 and 100%.
    for (std::size_t i = 0; i < kGridPercents.size(); ++i) {
        const QRectF& label = layout.texts.percents[i];
        const double y = label.center().y();
        painter.setPen(QPen(QColor(200, 200, 200), penWidth / 2));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(kGridPercents[i]) + u'%');
    }

    const std::size_t weeks = trend.mondays.size();
    const auto xOf = [&](std::size_t week) { return layout.xOf(week, weeks); };
    for (const WeekLabel& label : layout.texts.weeks) {
        painter.drawText(label.box, Qt::AlignCenter, toQString(trend.labels[label.week]));
    }

    // The lines: the wrong share first, then the kinds, the most frequent last. A kind found in
    // every wrong answer follows the wrong share exactly: its thinner dashes, drawn over the
    // wrong share's thick line, keep it in sight.
    std::vector<std::size_t> order;
    if (!trend.series.empty()) order.push_back(0);
    for (std::size_t index = trend.series.size(); index-- > 1;) order.push_back(index);
    for (const std::size_t index : order) {
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

    for (std::size_t index = 0; index < layout.texts.legend.size(); ++index) {
        const QRectF& item = layout.texts.legend[index];
        painter.setPen(
            QPen(trendColour(index), index == 0 ? penWidth * 2 : penWidth, trendDash(index)));
        const double y = item.center().y();
        const double swatch = layout.swatch;
        painter.drawLine(QPointF(item.left(), y), QPointF(item.left() + swatch, y));
        painter.setPen(Qt::black);
        painter.drawText(item.adjusted(swatch + layout.gap / 2, 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, toQString(trend.series[index].name));
    }
    if (!layout.texts.leftOutNote.isEmpty()) {
        painter.setPen(Qt::darkGray);
        // Wrapped at the width it was measured at, so that it breaks where it was measured to.
        const QRectF& note = layout.texts.leftOutNote;
        painter.drawText(QRectF(area.left(), note.top(), area.width(), note.height()), kNoteFlags,
                         toQString(trend.leftOutNote));
    }
    painter.restore();
}

}  // namespace gaisan

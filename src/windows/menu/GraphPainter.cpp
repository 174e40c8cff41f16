#include "windows/menu/GraphPainter.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include "kit/QtConversions.h"

namespace gaisan {
namespace {

QFont sizedFont(QFont font, double pointSize, double fontScale) {
    font.setPointSizeF(pointSize * fontScale);
    return font;
}

QRectF toQRectF(const GraphRect& rect) { return {rect.left, rect.top, rect.width, rect.height}; }

}  // namespace

GraphSurface graphSurface(const QPaintDevice& device, double width, double height, bool printer) {
    return {width, height, printer, device.logicalDpiX() / (printer ? 600.0 : 96.0)};
}

MeasureText graphTextMeasure(const QFont& font, const QPaintDevice* device, double fontScale) {
    return [font, device, fontScale](const std::string& text, double pointSize) {
        const QFontMetricsF metrics(sizedFont(font, pointSize, fontScale), device);
        return GraphTextSize{metrics.horizontalAdvance(toQString(text)), metrics.height()};
    };
}

void paintGraphPage(QPainter& painter, const GraphPage& page, const GraphSurface& surface,
                    double fontScale) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double dotsPerWidthUnit = surface.dotsPerWidthUnit;
    for (const GraphLine& line : page.lines) {
        painter.setClipRect(toQRectF(line.area));
        painter.setPen(QPen(toQColor(line.colour), line.width * dotsPerWidthUnit, Qt::SolidLine,
                            Qt::RoundCap));
        painter.drawLine(QPointF(line.from.x, line.from.y), QPointF(line.to.x, line.to.y));
    }
    painter.setPen(Qt::NoPen);
    for (const GraphDot& dot : page.dots) {
        painter.setClipRect(toQRectF(dot.area));
        painter.setBrush(toQColor(dot.colour));
        const double radius = dot.width * dotsPerWidthUnit / 2;
        painter.drawEllipse(QPointF(dot.at.x, dot.at.y), radius, radius);
    }
    painter.setClipping(false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    const QFont base = painter.font();
    for (const GraphText& text : page.texts) {
        const QFont font = sizedFont(base, text.pointSize, fontScale);
        painter.setFont(font);
        const QFontMetricsF metrics(font, painter.device());
        painter.drawText(QPointF(text.at.x, text.at.y + metrics.ascent()), toQString(text.text));
    }
    painter.restore();
}

}  // namespace gaisan

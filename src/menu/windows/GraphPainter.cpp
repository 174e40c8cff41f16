#include "menu/windows/GraphPainter.h"

#include <QFontMetricsF>
#include <QPaintDevice>

#include <algorithm>

#include "app/windows/QtConversions.h"

namespace gaisan {

void paintGraphPage(QPainter& painter, const GraphPage& page, const GraphSurface& surface,
                    double fontScale) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const double dotsPerWidthUnit =
        painter.device()->logicalDpiX() / (surface.printer ? 600.0 : 96.0);
    for (const GraphLine& line : page.lines) {
        painter.setPen(QPen(toQColor(line.colour), line.width * dotsPerWidthUnit, Qt::SolidLine,
                            Qt::RoundCap));
        painter.drawLine(QPointF(line.from.x, line.from.y), QPointF(line.to.x, line.to.y));
    }
    painter.setPen(Qt::NoPen);
    for (const GraphDot& dot : page.dots) {
        painter.setBrush(toQColor(dot.colour));
        const double radius = dot.width * dotsPerWidthUnit / 2;
        painter.drawEllipse(QPointF(dot.at.x, dot.at.y), radius, radius);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(Qt::black);
    QFont font = painter.font();
    for (const GraphText& text : page.texts) {
        font.setPointSizeF(text.pointSize * fontScale);
        painter.setFont(font);
        const QString words = toQString(text.text);
        const QFontMetricsF metrics(font, painter.device());
        const double x =
            std::max(0.0, std::min(text.at.x, surface.width - metrics.horizontalAdvance(words)));
        painter.drawText(QPointF(x, text.at.y + metrics.ascent()), words);
    }
    painter.restore();
}

}  // namespace gaisan

#include "windows/analysis/TrendView.h"

#include <QPainter>

#include "windows/analysis/TrendPainter.h"

namespace gaisan {

TrendView::TrendView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("background-color: white;"));
}

void TrendView::showTrend(Trend trend) {
    m_trend = std::move(trend);
    update();
}

void TrendView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintTrend(painter, QRectF(rect()).adjusted(4, 4, -4, -4), m_trend, font());
}

}  // namespace gaisan

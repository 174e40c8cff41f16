#include "windows/menu/GraphView.h"

#include <QPainter>

#include "windows/menu/GraphPainter.h"

namespace gaisan {

GraphView::GraphView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture12"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

GraphSurface GraphView::surface() const { return graphSurface(*this, width(), height(), false); }

void GraphView::showPage(GraphPage page, double fontScale) {
    m_page = std::move(page);
    m_surface = surface();
    m_fontScale = fontScale;
    update();
}

void GraphView::clear() { showPage({}, m_fontScale); }

void GraphView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    paintGraphPage(painter, m_page, m_surface, m_fontScale);
}

}  // namespace gaisan

#include "kit/DesignCanvas.h"

#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace gaisan {

QString arrayName(const QString& name, int index) {
    return name + QLatin1Char('_') + QString::number(index);
}

void showScreen(QWidget* screen) {
    screen->showFullScreen();
    screen->raise();
    screen->activateWindow();
}

DesignCanvas::DesignCanvas(QWidget* parent) : QWidget(parent) {
    resize(kDesignWidth, kDesignHeight);
    // On a screen of another shape the design is framed in a quiet dark grey.
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(colours);
}

void DesignCanvas::place(QWidget* widget, const QRect& design, int fontPixels) {
    m_placements.push_back({widget, design, fontPixels});
    apply(m_placements.back());
}

QLabel* DesignCanvas::addLabel(const QString& name, const QString& text, QWidget* parent,
                               const QRect& design, int fontPixels, Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(alignment);
    place(label, design, fontPixels);
    return label;
}

QRect DesignCanvas::designRect(const QWidget* widget) const {
    for (const Placement& placement : m_placements) {
        if (placement.widget == widget) return placement.design;
    }
    return {};
}

void DesignCanvas::setDesignRect(QWidget* widget, const QRect& design) {
    for (Placement& placement : m_placements) {
        if (placement.widget != widget) continue;
        placement.design = design;
        apply(placement);
        return;
    }
}

void DesignCanvas::setDesignFont(QWidget* widget, int fontPixels) {
    for (Placement& placement : m_placements) {
        if (placement.widget != widget) continue;
        placement.fontPixels = fontPixels;
        apply(placement);
        return;
    }
}

void DesignCanvas::apply(const Placement& placement) const {
    QWidget* widget = placement.widget;
    if (!widget) return;
    const auto scaled = [this](int value) {
        return static_cast<int>(std::lround(value * m_scale));
    };
    // Only the canvas's own children move with the centring; deeper ones follow their parent.
    const QPoint offset = widget->parentWidget() == this ? m_origin : QPoint();
    const QRect& design = placement.design;
    // Edges rather than sizes are scaled, so that neighbouring widgets still meet exactly.
    const int left = scaled(design.left()) + offset.x();
    const int top = scaled(design.top()) + offset.y();
    const int right = scaled(design.left() + design.width()) + offset.x();
    const int bottom = scaled(design.top() + design.height()) + offset.y();
    widget->setGeometry(left, top, right - left, bottom - top);
    if (placement.fontPixels > 0) {
        QFont font = widget->font();
        font.setPixelSize(
            std::max(2, static_cast<int>(std::lround(placement.fontPixels * m_scale / 2)) * 2));
        widget->setFont(font);
    }
}

void DesignCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_scale = std::min(static_cast<double>(width()) / kDesignWidth,
                       static_cast<double>(height()) / kDesignHeight);
    m_origin = QPoint(static_cast<int>((width() - kDesignWidth * m_scale) / 2),
                      static_cast<int>((height() - kDesignHeight * m_scale) / 2));
    for (const Placement& placement : m_placements) apply(placement);
}

}  // namespace gaisan

#include "kit/WaitPanel.h"

#include <QLabel>
#include <QWidget>

#include "kit/DesignCanvas.h"

namespace gaisan {

QWidget* buildWaitPanel(QWidget* parent, const WaitPanelLayout& layout, const WidgetPlacer& place) {
    auto* panel = new QWidget(parent);
    panel->setObjectName(layout.name);
    panel->setAutoFillBackground(true);
    place(panel, layout.at, 0);
    auto* notice = new QLabel(layout.notice, panel);
    notice->setObjectName(layout.noticeName);
    notice->setAlignment(Qt::AlignCenter);
    place(notice, layout.noticeAt, layout.fontPixels);
    panel->hide();
    return panel;
}

QWidget* addWaitPanel(DesignCanvas& canvas, const WaitPanelLayout& layout) {
    return buildWaitPanel(&canvas, layout,
                          [&canvas](QWidget* widget, const QRect& at, int fontPixels) {
                              canvas.place(widget, at, fontPixels);
                          });
}

}  // namespace gaisan

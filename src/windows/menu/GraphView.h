#pragma once

#include <QWidget>

#include "rules/menu/ProgressGraph.h"

namespace gaisan {

/// The graph panel's drawing surface (Picture12): shows one computed page of graphs.
class GraphView : public QWidget {
    Q_OBJECT

public:
    explicit GraphView(QWidget* parent = nullptr);

    /// The surface a page is computed for: the view's size in pixels.
    GraphSurface surface() const;
    /// Shows `page`, its texts at `fontScale` times their size (the screen's zoom).
    void showPage(GraphPage page, double fontScale);
    /// Clears the surface.
    void clear();

    const GraphPage& page() const { return m_page; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GraphPage m_page;
    GraphSurface m_surface;
    double m_fontScale = 1.0;
};

}  // namespace gaisan

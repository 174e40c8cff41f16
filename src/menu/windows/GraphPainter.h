#pragma once

#include <QPainter>

#include "menu/ProgressGraph.h"

namespace gaisan {

/// Paints a computed page of progress graphs with `painter`, whose device is the surface the
/// page was computed for (its positions are the device's pixels), a widget or a printer page
/// alike. Lines and points are antialiased; a drawing width counts pixels of a 96-dpi screen or
/// of a 600-dpi printer, scaled to the device's resolution, and font sizes are points times
/// `fontScale` (the screen panel's zoom). A text that would run past the right edge is moved
/// left so that it ends at the edge.
void paintGraphPage(QPainter& painter, const GraphPage& page, const GraphSurface& surface,
                    double fontScale = 1.0);

}  // namespace gaisan

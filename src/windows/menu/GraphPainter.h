#pragma once

#include <QFont>
#include <QPainter>

#include "rules/menu/ProgressGraph.h"

class QPaintDevice;

namespace gaisan {

/// Measures graph texts as paintGraphPage writes them: in `font` at each text's point size times
/// `fontScale`, with the metrics of `device`, the surface the page is computed for. The layout
/// and the painter must measure alike, or texts placed apart would still touch.
MeasureText graphTextMeasure(const QFont& font, const QPaintDevice* device, double fontScale = 1.0);

/// The surface of `width` by `height` pixels of `device`, a widget or image on screen or a
/// printer's page: a drawing width counts pixels of a 96-dpi screen or of a 600-dpi printer,
/// scaled to the device's resolution.
GraphSurface graphSurface(const QPaintDevice& device, double width, double height, bool printer);

/// Paints a computed page of progress graphs with `painter`, whose device is the surface the
/// page was computed for (its positions are the device's pixels), a widget or a printer page
/// alike, in the painter's font. Lines and points are antialiased and clipped to their part of
/// the page, as thick as the surface says, and font sizes are points times `fontScale` (the
/// screen panel's zoom). Each text is written with the top-left corner of its box where the
/// layout put it.
void paintGraphPage(QPainter& painter, const GraphPage& page, const GraphSurface& surface,
                    double fontScale = 1.0);

}  // namespace gaisan

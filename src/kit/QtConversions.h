#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <string>

#include "base/SeasonColour.h"

namespace gaisan {

/// The core speaks UTF-8 std::string; the windows speak QString.
inline QString toQString(const std::string& text) { return QString::fromStdString(text); }

/// A suite colour (red in the lowest byte) as Qt's colour.
QColor toQColor(Colour colour);

/// Moves a small window to the middle of the screen; without a window manager nobody else does.
void centreOnScreen(QWidget& window);

}  // namespace gaisan

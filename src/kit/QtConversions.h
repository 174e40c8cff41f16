#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <string>
#include <string_view>

#include "base/SeasonColour.h"

namespace gaisan {

/// The core speaks UTF-8 std::string; the windows speak QString.
inline QString toQString(const std::string& text) { return QString::fromStdString(text); }
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// A suite colour (red in the lowest byte) as Qt's colour.
QColor toQColor(Colour colour);

/// Moves a small window to the middle of the screen; without a window manager nobody else does.
void centreOnScreen(QWidget& window);

}  // namespace gaisan

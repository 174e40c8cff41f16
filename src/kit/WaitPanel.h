#pragma once

#include <QRect>
#include <QString>

#include <functional>

class QWidget;

namespace gaisan {

class DesignCanvas;

/// Where a wait panel sits and what it says, in the units of its window (design pixels on a
/// screen).
struct WaitPanelLayout {
    QString name;        ///< the panel's object name
    QRect at;            ///< in its parent
    QString noticeName;  ///< the notice label's object name
    QRect noticeAt;      ///< inside the panel
    int fontPixels = 0;
    QString notice = QStringLiteral("Just a moment, please.");
};

/// Puts a widget at a rectangle with a font of so many pixels (0 keeps its font).
using WidgetPlacer = std::function<void(QWidget* widget, const QRect& at, int fontPixels)>;

/// Builds a wait panel under `parent`, placed by `place`: a panel that fills itself with the
/// window's background colour, with the notice centred in it, hidden until its window is busy.
/// Every wait panel of the screens and the wait window's content are built by it.
QWidget* buildWaitPanel(QWidget* parent, const WaitPanelLayout& layout, const WidgetPlacer& place);

/// buildWaitPanel on a screen, placed and scaled by the canvas.
QWidget* addWaitPanel(DesignCanvas& canvas, const WaitPanelLayout& layout);

}  // namespace gaisan

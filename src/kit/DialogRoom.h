#pragma once

#include <QSize>

class QWidget;

namespace gaisan {

/// The largest size a dialog may take over `over` (the primary screen's when null): the
/// screen's free area less a window manager's frame and title bar, so that the whole dialog and
/// its buttons stay in view on the 1024 × 768 screen the program is laid out for, however long
/// the texts it shows.
QSize dialogRoom(const QWidget* over);

}  // namespace gaisan

#include "kit/DialogRoom.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace gaisan {
namespace {

// Room for the frame and title bar a window manager adds around a dialog; generous, since a
// dialog a little smaller costs nothing and one a little larger hides its buttons.
constexpr int kFrameWidth = 8;
constexpr int kTitleBarHeight = 40;

}  // namespace

QSize dialogRoom(const QWidget* over) {
    const QScreen* screen = over != nullptr ? over->screen() : QGuiApplication::primaryScreen();
    const QSize free = screen->availableGeometry().size();
    return {free.width() - 2 * kFrameWidth, free.height() - kTitleBarHeight - kFrameWidth};
}

}  // namespace gaisan

#include "kit/QtConversions.h"

#include <QGuiApplication>
#include <QScreen>

namespace gaisan {

QColor toQColor(Colour colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

void centreOnScreen(QWidget& window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        window.move(screen->geometry().center() - window.rect().center());
    }
}

}  // namespace gaisan

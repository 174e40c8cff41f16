#include "kit/ProgramFont.h"

#include <QApplication>
#include <QFont>

namespace gaisan {

void applyProgramFont() {
    QFont font(QStringLiteral("IPAGothic"));
    font.setPixelSize(16);
    QApplication::setFont(font);
}

}  // namespace gaisan

#include "kit/BASEFRM.h"

#include <QApplication>

#include "kit/QtConversions.h"
#include "kit/WaitPanel.h"

namespace gaisan {

BASEFRM::BASEFRM() {
    setObjectName(QStringLiteral("BASEFRM"));
    setWindowFlag(Qt::FramelessWindowHint);
    setFixedSize(560, 160);
    // A small window of fixed size: its panel is placed in plain pixels, not scaled.
    const auto inPixels = [](QWidget* widget, const QRect& at, int fontPixels) {
        widget->setGeometry(at);
        if (fontPixels == 0) return;
        QFont font = widget->font();
        font.setPixelSize(fontPixels);
        widget->setFont(font);
    };
    buildWaitPanel(this, {QStringLiteral("Picture1"), rect(), QStringLiteral("Label1"), rect(), 32},
                   inPixels)
        ->show();
}

void BASEFRM::Form_Load() {
    centreOnScreen(*this);
    show();
    raise();
    QCoreApplication::processEvents();
}

}  // namespace gaisan

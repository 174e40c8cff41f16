#include "app/BASEFRM.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

#include "app/QtConversions.h"

namespace gaisan {

BASEFRM::BASEFRM() {
    setObjectName(QStringLiteral("BASEFRM"));
    setWindowFlag(Qt::FramelessWindowHint);
    auto* label = new QLabel(QStringLiteral("Just a moment, please."), this);
    label->setObjectName(QStringLiteral("Label1"));
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPixelSize(32);
    label->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    setFixedSize(560, 160);
}

void BASEFRM::Form_Load() {
    centreOnScreen(*this);
    show();
    raise();
    QCoreApplication::processEvents();
}

}  // namespace gaisan

#include "windows/start/Firstfrm.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

#include "kit/QtConversions.h"
#include "rules/student/ProgramStart.h"
#include "windows/start/SplashHost.h"

namespace gaisan {
namespace {

/// The splash picture: a sum and its estimate on a card, drawn rather than shipped as an image.
class SplashPicture : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF card = QRectF(rect()).adjusted(8, 8, -8, -8);
        painter.setPen(QPen(QColor(60, 60, 60), 3));
        painter.setBrush(QColor(255, 255, 240));
        painter.drawRoundedRect(card, 24, 24);
        QFont font = painter.font();
        font.setPixelSize(static_cast<int>(card.height() / 4) & ~1);
        painter.setFont(font);
        const QRectF upper = card.adjusted(0, 0, 0, -card.height() / 2);
        const QRectF lower = card.adjusted(0, card.height() / 2, 0, 0);
        painter.setPen(QColor(40, 40, 40));
        painter.drawText(upper, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("149 ＋ 351"));
        painter.setPen(QColor(0, 128, 0));
        painter.drawText(lower, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("≒ 100 ＋ 400"));
    }
};

}  // namespace

Firstfrm::Firstfrm(SplashHost& host)
    : m_host(host), m_label5(new QLabel(this)), m_timer1(new QTimer(this)) {
    setObjectName(QStringLiteral("Firstfrm"));
    setWindowFlag(Qt::FramelessWindowHint);
    setFixedSize(640, 400);
    setAutoFillBackground(true);

    auto* picture = new SplashPicture(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    m_label5->setObjectName(QStringLiteral("Label5"));
    m_label5->setAlignment(Qt::AlignCenter);
    QFont dateFont = m_label5->font();
    dateFont.setPixelSize(28);
    m_label5->setFont(dateFont);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(60, 40, 60, 40);
    layout->addWidget(picture, 1);
    layout->addWidget(m_label5);

    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(100);
    connect(m_timer1, &QTimer::timeout, this, &Firstfrm::Timer1_Timer);
}

void Firstfrm::Form_Load() {
    centreOnScreen(*this);
    show();
    QCoreApplication::processEvents();
    const ProgramStart start = m_host.startProgram();
    m_label5->setText(QString::fromStdString(start.eraDate));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(start.seasonColour));
    setPalette(colours);
    m_timer1->start();
}

void Firstfrm::Timer1_Timer() {
    m_timer1->stop();
    m_host.ContinueStartup();
    close();
    deleteLater();
}

}  // namespace gaisan

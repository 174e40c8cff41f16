#include "windows/finish/FrmSyuuryou.h"

#include <QApplication>
#include <QPainter>

#include "kit/QtConversions.h"
#include "platform/Failure.h"
#include "rules/student/StudentScreenTexts.h"
#include "rules/student/StudentSession.h"
#include "windows/finish/FinishHost.h"

namespace gaisan {
namespace {

/// The background: a calm sky with a few stars, drawn rather than shipped as an image.
class FinishBackground : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient sky(0, 0, 0, height());
        sky.setColorAt(0, QColor(200, 230, 255));
        sky.setColorAt(1, QColor(255, 250, 220));
        painter.fillRect(rect(), sky);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 215, 0, 160));
        const QPointF stars[] = {{0.04, 0.05}, {0.96, 0.05}, {0.04, 0.95}, {0.96, 0.95}};
        const double radius = height() / 60.0;
        for (const QPointF& star : stars) {
            painter.drawEllipse(QPointF(star.x() * width(), star.y() * height()), radius, radius);
        }
    }
};

}  // namespace

FrmSyuuryou::FrmSyuuryou(FinishHost& host)
    : m_host(host), m_image1(new FinishBackground(this)), m_timer1(new QTimer(this)) {
    setObjectName(QStringLiteral("FrmSyuuryou"));
    setWindowTitle(QStringLiteral("終了"));
    m_image1->setObjectName(QStringLiteral("Image1"));
    place(m_image1, {0, 0, kDesignWidth, kDesignHeight});

    m_label15 =
        addLabel(QStringLiteral("Label15"), {}, this, {40, 32, 260, 56}, 36, Qt::AlignCenter);
    m_label17 =
        addLabel(QStringLiteral("Label17"), {}, this, {300, 32, 440, 56}, 40, Qt::AlignCenter);
    m_label16 =
        addLabel(QStringLiteral("Label16"), {}, this, {740, 32, 260, 56}, 36, Qt::AlignCenter);
    m_label18 =
        addLabel(QStringLiteral("Label18"), {}, this, {62, 130, 900, 88}, 64, Qt::AlignCenter);
    m_label19 =
        addLabel(QStringLiteral("Label19"), {}, this, {62, 230, 900, 60}, 36, Qt::AlignCenter);
    m_label13 =
        addLabel(QStringLiteral("Label13"), {}, this, {212, 304, 320, 48}, 28, Qt::AlignCenter);
    m_label14 =
        addLabel(QStringLiteral("Label14"), {}, this, {532, 304, 280, 48}, 28, Qt::AlignCenter);
    m_label20 =
        addLabel(QStringLiteral("Label20"), {}, this, {62, 376, 900, 84}, 56, Qt::AlignCenter);
    m_label20->setStyleSheet(QStringLiteral("color: #d00000; font-weight: bold;"));
    m_label20->hide();
    m_label2 = addLabel(QStringLiteral("Label2"), toQString(kLevelClearedText), this,
                        {62, 468, 900, 60}, 40, Qt::AlignCenter);
    m_label2->setStyleSheet(QStringLiteral("color: #006000; font-weight: bold;"));
    m_label2->hide();

    m_picture1 = new QWidget(this);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setStyleSheet(
        QStringLiteral("background-color: #fff0a0; border: 3px solid #d08000;"));
    m_picture1->setAttribute(Qt::WA_StyledBackground);
    place(m_picture1, {112, 536, 800, 100});
    addLabel(QStringLiteral("Label1"), toQString(kGoalClearedText), m_picture1, {0, 0, 800, 100},
             44, Qt::AlignCenter)
        ->setStyleSheet(QStringLiteral("border: none; color: #c04000;"));
    m_picture1->hide();

    m_command4 = new QPushButton(toQString(kToMenuCaption), this);
    m_command4->setObjectName(QStringLiteral("Command4"));
    place(m_command4, {232, 664, 260, 68}, 32);
    m_command5 = new QPushButton(toQString(kAgainCaption), this);
    m_command5->setObjectName(QStringLiteral("Command5"));
    place(m_command5, {532, 664, 260, 68}, 32);
    for (QPushButton* button : {m_command4, m_command5}) {
        // Enter presses the focused button, as a child expects of a screen's main button.
        button->setAutoDefault(true);
        button->hide();
    }
    connect(m_command4, &QPushButton::clicked, this, &FrmSyuuryou::Command4_Click);
    connect(m_command5, &QPushButton::clicked, this, &FrmSyuuryou::Command5_Click);

    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(500);
    connect(m_timer1, &QTimer::timeout, this, &FrmSyuuryou::Timer1_Timer);
}

void FrmSyuuryou::Form_Load() { setDesignRect(m_image1, {0, 0, kDesignWidth, kDesignHeight}); }

void FrmSyuuryou::Form_Activate() {
    StudentSession& session = m_host.session();
    m_label13->setText(QString::number(session.finishingRunNumber()));
    auto finished = session.finish();
    if (!finished) {
        m_host.endWithFailure(finished.error());
        return;
    }
    const FinishScreen& screen = *finished;
    const FinishPlan& plan = screen.plan;
    if (plan.levelCleared) m_label2->show();
    if (plan.goalBanner) m_picture1->show();
    QCoreApplication::processEvents();
    m_timer1->start();

    m_label19->setText(toQString(screen.pointsLine));
    m_label18->setText(toQString(screen.resultLine));
    m_label17->setText(toQString(screen.studentName).trimmed());
    m_label15->setText(toQString(screen.subjectTitle));
    m_label16->setText(toQString(screen.levelName));
    m_label13->setText(toQString(screen.levelRunText));
    m_label14->setText(toQString(screen.todayRunText));

    QCoreApplication::processEvents();
    if (!screen.messageText.empty()) {
        m_label20->setText(toQString(screen.messageText));
        m_label20->show();
        QCoreApplication::processEvents();
    }
    if (session.playMessageSound(plan) && !screen.messageText.empty()) {
        QCoreApplication::processEvents();
    }
    session.playGoalFanfare(plan);
    if (plan.bannerHiddenAtGoalCheck) m_picture1->hide();
    QCoreApplication::processEvents();
}

void FrmSyuuryou::Timer1_Timer() {
    m_picture1->hide();
    m_command4->show();
    QCoreApplication::processEvents();
    m_command4->setFocus();
    m_timer1->stop();
    const RetryChoice choice = m_host.session().retryChoice();
    if (choice.clearLabelHidden) {
        m_label2->clear();
        m_label2->hide();
    }
    if (choice.moveOnMessage) m_label2->setText(toQString(kMoveOnText));
    m_command5->setVisible(choice.offerRetry);
}

void FrmSyuuryou::Command4_Click() {
    disableButtons();
    m_host.showMenu();
    QCoreApplication::processEvents();
}

void FrmSyuuryou::Command5_Click() {
    disableButtons();
    m_host.showWaitWindow();
    m_host.runAgain();
    QCoreApplication::processEvents();
}

void FrmSyuuryou::disableButtons() {
    // Both, so that a second click, on either button, finds nothing to press while the screen
    // is on its way out.
    m_command4->setEnabled(false);
    m_command5->setEnabled(false);
}

}  // namespace gaisan

#include "windows/drill/MainFrm.h"

#include <QApplication>
#include <QKeyEvent>

#include "kit/QtConversions.h"
#include "platform/Failure.h"
#include "platform/Utf8.h"
#include "rules/student/StudentScreenTexts.h"
#include "rules/student/StudentSession.h"
#include "windows/drill/DrillHost.h"

namespace gaisan {
namespace {

// The time bar, in design pixels.
constexpr int kBarLeft = 16;
constexpr int kBarTop = 112;
constexpr int kBarWidth = 992;
constexpr int kBarHeight = 28;

constexpr int kPanelHeight = 200;

QString boxStyle(Colour colour) {
    return QStringLiteral("background-color: %1; border: 2px solid #404040; padding-right: 8px;")
        .arg(toQColor(colour).name());
}

}  // namespace

MainFrm::MainFrm(DrillHost& host) : m_host(host) {
    setObjectName(QStringLiteral("MainFrm"));
    setWindowTitle(QStringLiteral("概算ドリル"));
    setFocusPolicy(Qt::StrongFocus);
    // Digits must arrive as digits even while a Japanese input method is switched on.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    buildStatusPanel();
    buildProblemArea();
    for (QWidget* child : findChildren<QWidget*>()) child->setFocusPolicy(Qt::NoFocus);

    m_sTimer1 = new QTimer(this);
    m_sTimer1->setObjectName(QStringLiteral("sTimer1"));
    m_sTimer1->setInterval(1000);
    connect(m_sTimer1, &QTimer::timeout, this, &MainFrm::sTimer1_Timer);
    m_sTimer2 = new QTimer(this);
    m_sTimer2->setObjectName(QStringLiteral("sTimer2"));
    m_sTimer2->setInterval(10000);
    connect(m_sTimer2, &QTimer::timeout, this, &MainFrm::sTimer2_Timer);
    m_sTimer2->start();
}

MainFrm::~MainFrm() = default;

QWidget* MainFrm::panel(const QString& name, QWidget* parent, const QRect& at,
                        const QColor& colour) {
    auto* created = new QWidget(parent);
    created->setObjectName(name);
    created->setAutoFillBackground(true);
    QPalette colours = created->palette();
    colours.setColor(QPalette::Window, colour);
    created->setPalette(colours);
    place(created, at);
    return created;
}

void MainFrm::buildStatusPanel() {
    m_sPicture1 = panel(QStringLiteral("sPicture1"), this, {0, 0, kDesignWidth, kPanelHeight},
                        QColor(224, 236, 255));
    QWidget* top = m_sPicture1;
    m_sLabel2 = addLabel(QStringLiteral("sLabel2"), {}, top, {16, 8, 200, 40}, 22);
    m_sLabel7 = addLabel(QStringLiteral("sLabel7"), {}, top, {224, 8, 300, 40}, 26);
    m_sLabel14 = addLabel(QStringLiteral("sLabel14"), {}, top, {532, 8, 280, 40}, 20);
    m_sLabel8 = addLabel(QStringLiteral("sLabel8"), {}, top, {820, 8, 196, 40}, 26);

    addLabel(QStringLiteral("sLabel4"), toQString(kRemainingCaption), top, {16, 56, 56, 44}, 24);
    m_sLabel9 = addLabel(QStringLiteral("sLabel9"), {}, top, {72, 50, 64, 52}, 44,
                         Qt::AlignRight | Qt::AlignVCenter);
    m_sLabel9->setStyleSheet(QStringLiteral("color: #c00000; font-weight: bold;"));
    addLabel(QStringLiteral("sLabel6"), toQString(kQuestionsCaption), top, {140, 56, 36, 44}, 24);
    addLabel(QStringLiteral("sLabel5"), toQString(kTimeCaption), top, {196, 56, 84, 44}, 24);
    m_sLabel10 = addLabel(QStringLiteral("sLabel10"), {}, top, {280, 50, 100, 52}, 44,
                          Qt::AlignRight | Qt::AlignVCenter);

    const std::string_view words[6] = {kSinceLogInCaption, kMinutesCaption,   kTodayRunCaption,
                                       kRunNumberCaption,  kThisLevelCaption, kRunNumberCaption};
    const QRect wordPlaces[6] = {{404, 62, 72, 36}, {524, 62, 24, 36},  {572, 62, 48, 36},
                                 {664, 62, 44, 36}, {728, 62, 100, 36}, {872, 62, 44, 36}};
    for (int i = 0; i < 6; ++i)
        addLabel(arrayName(QStringLiteral("sLabel16"), i), toQString(words[i]), top, wordPlaces[i],
                 20);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    m_sLabel13 = addLabel(QStringLiteral("sLabel13"), {}, top, {476, 62, 46, 36}, 24, right);
    m_sLabel12 = addLabel(QStringLiteral("sLabel12"), {}, top, {620, 62, 42, 36}, 24, right);
    m_sLabel11 = addLabel(QStringLiteral("sLabel11"), {}, top, {828, 62, 42, 36}, 24, right);

    // The time bar: the whole limit in white; the minimum line and the target over it; the
    // time used as a thinner blue bar on top, so that the marks stay visible beneath it.
    m_sShape5 = panel(QStringLiteral("sShape5"), top, {kBarLeft, kBarTop, kBarWidth, kBarHeight},
                      Qt::white);
    m_sShape5->setStyleSheet(QStringLiteral("border: 1px solid #404040;"));
    m_sShape4 = panel(QStringLiteral("sShape4"), top, {kBarLeft, kBarTop, 0, kBarHeight},
                      QColor(160, 230, 160));
    m_sShape3 = panel(QStringLiteral("sShape3"), top, {kBarLeft, kBarTop, 0, kBarHeight},
                      QColor(0, 160, 0));
    m_sShape2 = panel(QStringLiteral("sShape2"), top, {kBarLeft, kBarTop + 8, 0, kBarHeight - 16},
                      QColor(0, 0, 224));
    m_sShape7 = panel(QStringLiteral("sShape7"), top, {kBarLeft, kBarTop, 0, kBarHeight}, Qt::red);

    const struct {
        int caption;
        std::string_view text;
        int captionLeft;
        int captionWidth;
        int firstBox;
        QColor colour;
    } bands[] = {
        {1, kBestCaption, 16, 64, 10, QColor(0, 100, 0)},
        {0, kYourBestCaption, 318, 100, 20, QColor(128, 128, 0)},
        {2, kPassCaption, 658, 60, 30, QColor(220, 0, 0)},
    };
    for (const auto& band : bands) {
        addLabel(arrayName(QStringLiteral("sLabel17"), band.caption), toQString(band.text), top,
                 {band.captionLeft, 152, band.captionWidth, 32}, 20);
        const int boxesLeft = band.captionLeft + band.captionWidth + 4;
        for (int i = 0; i < 10; ++i) {
            const int index = band.firstBox + i;
            m_sPicture3[index] = panel(arrayName(QStringLiteral("sPicture3"), index), top,
                                       {boxesLeft + i * 22, 154, 18, 28}, band.colour);
        }
    }
}

void MainFrm::buildProblemArea() {
    m_picture2 =
        panel(QStringLiteral("Picture2"), this,
              {0, kPanelHeight, kDesignWidth, kDesignHeight - kPanelHeight}, QColor(255, 250, 236));
    QWidget* area = m_picture2;
    m_label3 = addLabel(QStringLiteral("Label3"), {}, area, {40, 24, 944, 64}, 40, Qt::AlignCenter);

    const int boxWidth = 200;
    const int boxHeight = 84;
    const QRect boxes[kBoxCount + 1] = {{},
                                        {232, 112, boxWidth, boxHeight},
                                        {592, 112, boxWidth, boxHeight},
                                        {100, 256, boxWidth, boxHeight},
                                        {412, 256, boxWidth, boxHeight},
                                        {724, 256, boxWidth, boxHeight}};
    for (int i = 1; i <= kBoxCount; ++i) {
        m_inputLabel2[i] = addLabel(arrayName(QStringLiteral("InputLabel2"), i), {}, area, boxes[i],
                                    52, Qt::AlignRight | Qt::AlignVCenter);
        const QRect& box = boxes[i];
        m_hyoujiLabel[i] = addLabel(arrayName(QStringLiteral("HyoujiLabel"), i), {}, area,
                                    {box.left(), box.bottom() + 6, boxWidth, 48}, 36,
                                    Qt::AlignRight | Qt::AlignVCenter);
        m_hyoujiLabel[i]->setStyleSheet(QStringLiteral("color: #d00000; padding-right: 10px;"));
        m_hyoujiLabel[i]->hide();
    }
    addLabel(arrayName(QStringLiteral("Label1"), 1), toQString(kPlusSign), area,
             {432, 112, 160, boxHeight}, 52, Qt::AlignCenter);
    addLabel(arrayName(QStringLiteral("Label1"), 2), toQString(kPlusSign), area,
             {300, 256, 112, boxHeight}, 52, Qt::AlignCenter);
    addLabel(arrayName(QStringLiteral("Label1"), 8), toQString(kEqualsSign), area,
             {612, 256, 112, boxHeight}, 52, Qt::AlignCenter);

    m_seikaihyoujiLabel =
        addLabel(QStringLiteral("seikaihyoujiLabel"), toQString(kAcknowledgePrompt), area,
                 {212, 410, 600, 56}, 36, Qt::AlignCenter);
    m_seikaihyoujiLabel->setStyleSheet(QStringLiteral("color: #d00000;"));
    m_seikaihyoujiLabel->hide();
    addLabel(QStringLiteral("Label2"), toQString(kDrillKeysHelp), area, {40, 496, 944, 44}, 24,
             Qt::AlignCenter);
    m_commandkakunin = new QPushButton(toQString(kAcknowledgeCaption), area);
    m_commandkakunin->setObjectName(QStringLiteral("Commandkakunin"));
    m_commandkakunin->hide();

    m_sPicture2 = panel(QStringLiteral("sPicture2"), this, {0, 300, kDesignWidth, 160},
                        QColor(255, 255, 192));
    m_lblsss1 = addLabel(QStringLiteral("lblsss1"), toQString(kRecordingRun), m_sPicture2,
                         {0, 0, kDesignWidth, 160}, 72, Qt::AlignCenter);
    m_lblsss2 = addLabel(QStringLiteral("lblsss2"), toQString(kTimeUpBanner), m_sPicture2,
                         {0, 0, kDesignWidth, 160}, 72, Qt::AlignCenter);
    m_lblsss2->setStyleSheet(QStringLiteral("color: #d00000;"));
    m_sPicture2->hide();
}

void MainFrm::Form_Activate() {
    初期設定();
    レベル別設定();
    スタート();
    問題作成表示();
    setFocus();
}

void MainFrm::初期設定() {
    const RunHeading heading = m_host.session().startRun(AnswerEntry::Hooks{
        [this] { yieldShowingBoxes(); }, [this] { m_sTimer1->stop(); }, [this] { EndRun(); }, {}});
    if (heading.levelDefined) {
        m_sLabel10->setText(QStringLiteral("0"));
        m_barScale = heading.timeLimit > 0 ? static_cast<double>(kBarWidth) / heading.timeLimit : 0;
        setBarWidth(m_sShape2, 0);
        setBarWidth(m_sShape7, 0);
        setBarWidth(m_sShape3, heading.targetTime * m_barScale);
        setBarWidth(m_sShape4, heading.minLineTime * m_barScale);
    }
    // A long subject title gets a smaller type, so that it still fits its label.
    m_sLabel2->setText(toQString(heading.subjectTitle));
    setDesignFont(m_sLabel2, characterCount(heading.subjectTitle) > 9 ? 18 : 22);
    m_sLabel7->setText(toQString(heading.studentName).trimmed());
    m_sLabel8->setText(toQString(heading.levelName));
    m_sLabel14->setText(toQString(heading.schoolName));
    showMinutesSinceLogin();
    m_sLabel12->setText(QString::number(heading.todayRunNumber));
    m_sLabel11->setText(QString::number(heading.levelRunNumber));
}

void MainFrm::レベル別設定() {
    m_sLabel9->setText(QString::number(m_host.session().run().ProblemsPerRun));
}

void MainFrm::スタート() {
    m_host.session().beginWorking();
    m_sTimer1->start();
}

void MainFrm::問題作成表示() { showBoxes(); }

void MainFrm::setBarWidth(QWidget* shape, double width) {
    QRect at = designRect(shape);
    at.setWidth(static_cast<int>(width));
    setDesignRect(shape, at);
}

void MainFrm::showRemaining() {
    m_sLabel9->setText(QString::number(m_host.session().problemsToGo()));
}

void MainFrm::showMinutesSinceLogin() {
    m_sLabel13->setText(QString::number(m_host.session().minutesSinceLogIn()));
}

void MainFrm::showBoxes() {
    const AnswerEntry& entry = m_host.session().entry();
    const Problem& problem = entry.problem();
    m_label3->setText(toQString(problem.instruction));
    for (int i = 1; i <= kBoxCount; ++i) {
        const ProblemBox& box = entry.box(i);
        m_inputLabel2[i]->setText(toQString(box.text));
        m_inputLabel2[i]->setStyleSheet(boxStyle(box.colour));
        m_hyoujiLabel[i]->setText(toQString(box.correctValue));
        m_hyoujiLabel[i]->setVisible(box.correctValueShown);
    }
    m_seikaihyoujiLabel->setVisible(entry.ackPromptShown());
    showRemaining();
}

void MainFrm::yieldShowingBoxes() {
    showBoxes();
    QCoreApplication::processEvents();
}

void MainFrm::keyPressEvent(QKeyEvent* event) {
    // Keys that arrive before the run is set up find nothing to type into.
    if (!m_host.session().hasRun()) {
        event->accept();
        return;
    }
    AnswerEntry& entry = m_host.session().entry();
    switch (event->key()) {
        case Qt::Key_Left:
            entry.Form_KeyDown(ArrowKey::Left);
            break;
        case Qt::Key_Up:
            entry.Form_KeyDown(ArrowKey::Up);
            break;
        case Qt::Key_Right:
            entry.Form_KeyDown(ArrowKey::Right);
            break;
        case Qt::Key_Down:
            entry.Form_KeyDown(ArrowKey::Down);
            break;
        case Qt::Key_Backspace:
            entry.Form_KeyPress(kBackspaceCode);
            break;
        default:
            const QString typed = event->text();
            if (const int code = typed.isEmpty() ? 0 : characterCodeOf(typed.front().unicode());
                code != 0) {
                entry.Form_KeyPress(code);
            }
            break;
    }
    showBoxes();
    event->accept();
}

void MainFrm::sTimer1_Timer() {
    StudentSession& session = m_host.session();
    const RunClockTick tick = session.tick();
    for (int box = kFirstCountdownBox; box <= kLastCountdownBox; ++box) {
        if (tick.hidden->at(box)) m_sPicture3[box]->hide();
    }
    m_sLabel10->setText(QString::number(tick.elapsed));
    if (!tick.limitReached) setBarWidth(m_sShape2, tick.elapsed * m_barScale);
    QCoreApplication::processEvents();
    if (!tick.limitReached) return;
    setBarWidth(m_sShape2, kBarWidth);
    if (session.timeUpNow()) {
        m_sTimer1->stop();
        EndRun();
    }
    QCoreApplication::processEvents();
}

void MainFrm::sTimer2_Timer() { showMinutesSinceLogin(); }

void MainFrm::EndRun() {
    showBoxes();
    QCoreApplication::processEvents();
    StudentSession& session = m_host.session();
    if (!session.beginEndOfRun()) return;
    const bool timeUp = session.run().TimeUp == 1;
    m_lblsss2->setVisible(timeUp);
    m_lblsss1->setVisible(!timeUp);
    m_sPicture2->show();
    m_sPicture2->raise();
    QCoreApplication::processEvents();
    m_sTimer1->stop();
    if (auto recorded = session.recordRun(); !recorded) {
        m_host.endWithFailure(recorded.error());
        return;
    }
    m_host.showWaitWindow();
    QCoreApplication::processEvents();
    WaitSeconds(1);
}

void MainFrm::WaitSeconds(int seconds) {
    m_host.waitResponsively(seconds);
    m_host.showFinishScreen();
}

}  // namespace gaisan

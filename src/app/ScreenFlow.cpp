#include "app/ScreenFlow.h"

#include <QApplication>
#include <QThread>
#include <QTimer>

#include "app/AppState.h"
#include "app/BASEFRM.h"
#include "app/Configuration.h"
#include "app/ConfigurationWindow.h"
#include "app/Firstfrm.h"
#include "app/MessageBoxes.h"
#include "app/QtConversions.h"
#include "app/SoundCues.h"
#include "app/frmver.h"
#include "drill/MainFrm.h"
#include "platform/DataFileError.h"
#include "records/Counts.h"
#include "records/FrmSyuuryou.h"
#include "records/ResultsFile.h"

namespace gaisan {

ScreenFlow::ScreenFlow(AppState& state, const Clock& clock, RandomSource& random,
                       MessageBoxes& boxes, SoundPlayer& player,
                       std::filesystem::path programFolder)
    : m_state(state),
      m_clock(clock),
      m_random(random),
      m_boxes(boxes),
      m_programFolder(std::move(programFolder)),
      m_cues(std::make_unique<SoundCues>(state, player, random, [this](const std::string& error) {
          endWithMessage(QStringLiteral("音声エラー"), toQString(soundLostMessage(error)));
      })) {}

ScreenFlow::~ScreenFlow() {
    for (QWidget* window : std::initializer_list<QWidget*>{m_finish, m_drill, m_menu, m_waitWindow, m_splash}) {
        delete window;
    }
}

CuePlayer& ScreenFlow::cues() { return *m_cues; }

void ScreenFlow::start() {
    m_splash = new Firstfrm(*this);
    m_splash->Form_Load();
}

void ScreenFlow::ContinueStartup() {
    try {
        LoadConfiguration(m_state, m_programFolder);
    } catch (const DataFileError& error) {
        const QString name = QString::fromStdString(error.file().filename().string());
        const QString path = QString::fromStdString(error.file().string());
        m_boxes.inform(m_splash, QStringLiteral("設定ファイルのエラー"),
                       QStringLiteral("設定ファイル「%1」を使えないため、プログラムを終了します。\n\n"
                                      "場所：%2\n問題：%3")
                           .arg(name, path, QString::fromStdString(error.problem())));
        emit programEnded(1);
        return;
    }
    showMenu();
}

void ScreenFlow::showScreen(QWidget* window) {
    window->showFullScreen();
    window->raise();
    window->activateWindow();
}

void ScreenFlow::unload(QWidget* window) {
    if (!window) return;
    window->close();
    window->deleteLater();
}

void ScreenFlow::showMenu() {
    QTimer::singleShot(0, this, [this] {
        unload(m_finish);
        if (m_menu) return;
        m_menu = new ConfigurationWindow(*this);
        connect(m_menu, &ConfigurationWindow::closed, this, [this] { emit programEnded(0); });
        m_menu->Form_Load();
    });
}

void ScreenFlow::closeMenu() {
    if (!m_menu) return;
    // Closing the menu on the way to a run does not end the program.
    m_menu->disconnect(this);
    unload(m_menu);
}

void ScreenFlow::StartRun() {
    RunState& run = m_state.run;
    run.RunFinished = 0;
    run.EndOfRunStarted = 0;
    run.Judging = 0;
    run.WrongAckState = 0;
    run.CorrectCount = 0;
    run.TimeUp = 0;
    QCoreApplication::processEvents();
    if (!m_drill) {
        m_drill = new MainFrm(*this);
        m_drill->Form_Load();
    }
    showScreen(m_drill);
    m_drill->Form_Activate();
}

void ScreenFlow::runAgain() {
    QTimer::singleShot(0, this, [this] {
        unload(m_finish);
        StartRun();
    });
}

void ScreenFlow::showFinishScreen() {
    QTimer::singleShot(0, this, [this] {
        unload(m_drill);
        m_finish = new FrmSyuuryou(*this);
        m_finish->Form_Load();
        showScreen(m_finish);
        m_finish->Form_Activate();
    });
}

void ScreenFlow::showWaitWindow() {
    if (!m_waitWindow) m_waitWindow = new BASEFRM;
    m_waitWindow->Form_Load();
}

void ScreenFlow::closeWaitWindow() { unload(m_waitWindow); }

void ScreenFlow::showVersionWindow(QWidget* over) {
    frmver window(m_state.profile.SubjectTitle, over);
    window.Form_Activate();
    window.exec();
}

ResultsFile& ScreenFlow::results() {
    if (!m_results) {
        m_results = std::make_unique<ResultsFile>(
            m_recordFile, m_state.locations.ProgramDataFolder + "成績累積データ.dat", m_clock,
            [this](int seconds) { waitResponsively(seconds); });
    }
    return *m_results;
}

void ScreenFlow::waitResponsively(int seconds) {
    const std::int64_t until = m_clock.tickMilliseconds() + seconds * 1000;
    while (m_clock.tickMilliseconds() < until) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
}

bool ScreenFlow::computeCounts() {
    if (const auto failure = ComputeCounts(m_state, results(), m_clock.now())) {
        endWithMessage(toQString(m_state.profile.SubjectTitle), toQString(failure->message));
        return false;
    }
    return true;
}

bool ScreenFlow::recordRunResult(int level) {
    if (const auto failure = RecordRunResult(m_state, results(), level)) {
        endWithMessage(toQString(m_state.profile.SubjectTitle), toQString(failure->message));
        return false;
    }
    return true;
}

void ScreenFlow::endWithMessage(const QString& title, const QString& text) {
    QWidget* newest = m_finish ? static_cast<QWidget*>(m_finish)
                      : m_drill ? static_cast<QWidget*>(m_drill)
                                : static_cast<QWidget*>(m_menu);
    m_boxes.inform(newest, title, text);
    for (QWidget* window : std::initializer_list<QWidget*>{m_finish, m_drill, m_menu, m_waitWindow}) {
        if (window) window->disconnect(this);
        unload(window);
    }
    emit programEnded(1);
}

}  // namespace gaisan

#include "app/ScreenFlow.h"

#include "app/AppState.h"
#include "app/BASEFRM.h"
#include "app/Configuration.h"
#include "app/ConfigurationWindow.h"
#include "app/Firstfrm.h"
#include "app/MessageBoxes.h"
#include "app/frmver.h"
#include "platform/DataFileError.h"

namespace gaisan {

ScreenFlow::ScreenFlow(AppState& state, const Clock& clock, RandomSource& random,
                       MessageBoxes& boxes, std::filesystem::path programFolder)
    : m_state(state),
      m_clock(clock),
      m_random(random),
      m_boxes(boxes),
      m_programFolder(std::move(programFolder)) {}

ScreenFlow::~ScreenFlow() {
    delete m_splash;
    delete m_waitWindow;
    delete m_configurationWindow;
}

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
    m_configurationWindow = new ConfigurationWindow(*this);
    connect(m_configurationWindow, &ConfigurationWindow::closed, this,
            [this] { emit programEnded(0); });
    m_configurationWindow->Form_Load();
}

void ScreenFlow::showWaitWindow() {
    if (!m_waitWindow) m_waitWindow = new BASEFRM;
    m_waitWindow->Form_Load();
}

void ScreenFlow::closeWaitWindow() { delete m_waitWindow; }

void ScreenFlow::showVersionWindow(QWidget* over) {
    frmver window(m_state.profile.SubjectTitle, over);
    window.Form_Activate();
    window.exec();
}

}  // namespace gaisan

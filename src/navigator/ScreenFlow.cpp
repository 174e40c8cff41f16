#include "navigator/ScreenFlow.h"

#include <QApplication>
#include <QTimer>

#include <unistd.h>

#include "base/AppState.h"
#include "base/SoundCues.h"
#include "kit/BASEFRM.h"
#include "kit/DesignCanvas.h"
#include "kit/MessageBoxes.h"
#include "kit/MessageTexts.h"
#include "kit/ResponsiveWait.h"
#include "platform/Launcher.h"
#include "stores/installation/Configuration.h"
#include "stores/results/SharingWarning.h"
#include "windows/admin/FrmData.h"
#include "windows/admin/FrmTimeData.h"
#include "windows/analysis/MistakeAnalysisWindow.h"
#include "windows/drill/MainFrm.h"
#include "windows/finish/FrmSyuuryou.h"
#include "windows/menu/seisekitime1.h"
#include "windows/names/namesel.h"
#include "windows/start/Firstfrm.h"
#include "windows/start/frmver.h"

namespace gaisan {
namespace {

/// Closes a screen and forgets it. Qt deletes it once no handler of it is running any more;
/// forgetting it now means that nothing reuses a screen on its way out.
template <typename Window>
void unload(QPointer<Window>& window) {
    if (!window) return;
    window->close();
    window->deleteLater();
    window = nullptr;
}

void inform(MessageBoxes& boxes, QWidget* parent, const MessageText& message) {
    boxes.inform(parent, message.title, message.text);
}

}  // namespace

ScreenFlow::ScreenFlow(AppState& state, const Clock& clock, RandomSource& random,
                       MessageBoxes& boxes, SoundPlayer& player, Launcher& launcher,
                       std::filesystem::path programFolder)
    : m_state(state),
      m_clock(clock),
      m_random(random),
      m_boxes(boxes),
      m_launcher(launcher),
      m_programFolder(std::move(programFolder)),
      m_cues(std::make_unique<SoundCues>(
          state, player, random,
          [this](const std::string& error) { endWithMessage(soundLostText(error)); })),
      m_results(
          state, m_recordFile, clock, [this](int seconds) { waitResponsively(seconds); },
          [this](const std::string& text) {
              inform(m_boxes, m_menu,
                     resultsFileText(m_state.profile.SubjectTitle, text, m_results.resultsFile()));
          }),
      m_session(state, m_results, clock, random, *m_cues),
      m_levelMenu(state, clock),
      m_installation(state, clock) {}

ScreenFlow::~ScreenFlow() {
    for (QWidget* window :
         std::initializer_list<QWidget*>{m_recordsBrowser, m_criteriaEditor, m_finish, m_drill,
                                         m_menu, m_names, m_waitWindow, m_splash}) {
        delete window;
    }
}

// The start-up: the splash, the configuration, the name list.

void ScreenFlow::start() {
    m_splash = new Firstfrm(*this);
    m_splash->Form_Load();
}

ProgramStart ScreenFlow::startProgram() { return gaisan::startProgram(m_state, m_clock, m_random); }

void ScreenFlow::ContinueStartup() {
    if (const auto loaded = LoadConfiguration(m_state, m_programFolder); !loaded) {
        inform(m_boxes, m_splash, unusableConfigurationText(loaded.error()));
        emit programEnded(1);
        return;
    }
    m_passcodeTries.emplace(m_clock, m_state.locations.passcodeTriesFile());
    if (const auto warning = sharingWarningForFolder(m_state.locations.ProgramDataFolder)) {
        inform(m_boxes, m_splash, sharingWarningText(*warning));
    }
    if (!endingOnFailure(m_results.checkWritable())) return;
    showNameSelection();
}

// The screens, in the order a visit takes them: the name list, the level menu, the drill, the
// finish screen, and the teacher's screens from the menu.

void ScreenFlow::showNameSelection() {
    requestChange([this] { openNameSelection(); });
}

void ScreenFlow::openNameSelection() {
    if (m_names) return;
    m_passcodeGiven = false;
    m_names = new namesel(*this);
    m_names->Form_Load();
    m_names->Form_Activate();
    // The menu that was left goes once the list is built and active over it.
    unload(m_menu);
}

void ScreenFlow::logIn() {
    ApplyProfileLevels(m_state.profile);
    showMenu();
}

void ScreenFlow::leaveToLauncher() {
    const std::filesystem::path launcher = m_state.locations.launcherProgram().lexically_normal();
    // The suite's launcher is a Windows program; on Linux its stand-in has no ".exe".
    std::filesystem::path program = launcher;
    if (::access(program.c_str(), X_OK) != 0) program.replace_extension();
    m_launcher.start(program, {"001"});
    m_ended = true;
    emit programEnded(0);
}

void ScreenFlow::showMenu() {
    requestChange([this] {
        unload(m_finish);
        openMenu();
    });
}

void ScreenFlow::openMenu() {
    if (!m_menu) {
        m_menu = new seisekitime1(*this);
        m_menu->Form_Load();
    }
    showScreen(m_menu);
    // The name list goes once the menu covers it, before the menu counts.
    unload(m_names);
    m_menu->Form_Activate();
}

void ScreenFlow::StartRun() {
    requestChange([this] { openDrill(); });
}

void ScreenFlow::openDrill() {
    m_passcodeGiven = false;
    QCoreApplication::processEvents();
    if (!m_drill) m_drill = new MainFrm(*this);
    showScreen(m_drill);
    // The menu a run is started from, and the wait window of a run started again, go before
    // the drill sets the run up.
    unload(m_menu);
    unload(m_waitWindow);
    m_drill->Form_Activate();
}

void ScreenFlow::runAgain() {
    requestChange([this] {
        unload(m_finish);
        openDrill();
    });
}

void ScreenFlow::showFinishScreen() {
    requestChange([this] {
        unload(m_drill);
        openFinishScreen();
    });
}

void ScreenFlow::openFinishScreen() {
    m_finish = new FrmSyuuryou(*this);
    m_finish->Form_Load();
    showScreen(m_finish);
    m_finish->Form_Activate();
    // The wait window of the run's end stays while the finish screen counts and plays its
    // sounds.
    unload(m_waitWindow);
}

void ScreenFlow::showRecordsBrowser() {
    requestChange([this] {
        if (!m_recordsBrowser) {
            m_recordsBrowser = new FrmData(*this);
            m_recordsBrowser->Form_Load();
        }
        showScreen(m_recordsBrowser);
        unload(m_menu);
    });
}

void ScreenFlow::showCriteriaEditor() {
    requestChange([this] {
        if (!m_criteriaEditor) {
            m_criteriaEditor = new FrmTimeData(*this);
            m_criteriaEditor->Form_Load();
        }
        showScreen(m_criteriaEditor);
        m_criteriaEditor->Form_Activate();
        unload(m_menu);
    });
}

void ScreenFlow::showMistakeAnalysis() {
    requestChange([this] {
        if (!m_mistakeAnalysis) {
            m_mistakeAnalysis = new MistakeAnalysisWindow(*this);
            m_mistakeAnalysis->Form_Load();
        }
        showScreen(m_mistakeAnalysis);
        unload(m_menu);
    });
}

Expected<MistakeAnalysis> ScreenFlow::readMistakeAnalysis(const AnalysisScope& scope) {
    return analyseMistakes(m_recordFile, m_results.resultsFile(), scope);
}

void ScreenFlow::backToMenu() {
    requestChange([this] {
        unload(m_recordsBrowser);
        unload(m_criteriaEditor);
        unload(m_mistakeAnalysis);
        openMenu();
    });
}

void ScreenFlow::requestChange(std::function<void()> change) {
    if (m_ended || m_pendingChange) return;
    m_pendingChange = std::move(change);
    QTimer::singleShot(0, this, &ScreenFlow::performPendingChange);
}

void ScreenFlow::performPendingChange() {
    // A change asked for while another one activates its screen is taken up when that one ends.
    if (m_changing || !m_pendingChange) return;
    const std::function<void()> change = std::exchange(m_pendingChange, nullptr);
    m_changing = true;
    change();
    m_changing = false;
    if (m_pendingChange) QTimer::singleShot(0, this, &ScreenFlow::performPendingChange);
}

// The windows that come and go over the screens.

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

void ScreenFlow::reportUnusableFile(const Failure& failure) {
    inform(m_boxes, m_names, unusableFileText(failure));
}

void ScreenFlow::reportSkippedRosterEntries(const std::filesystem::path& rosterFile,
                                            const std::vector<std::string>& sentences) {
    inform(m_boxes, m_names, skippedRosterEntriesText(rosterFile, sentences));
}

void ScreenFlow::reportPrintFailure() { inform(m_boxes, m_menu, printFailureText()); }

void ScreenFlow::reportSharedFileProblemsOnce() {
    if (m_sharedFileProblemsTold) return;
    const std::vector<std::string> problems = m_results.sharedFileProblems();
    if (problems.empty()) return;
    m_sharedFileProblemsTold = true;
    inform(m_boxes, m_menu, sharedFileProblemsText(problems));
}

// The results file, and the end of the program when it fails.

void ScreenFlow::waitResponsively(int seconds) { gaisan::waitResponsively(m_clock, seconds); }

Expected<void> ScreenFlow::computeCounts() { return endingOnFailure(m_results.recount()); }

void ScreenFlow::endWithFailure(const Failure& failure) {
    endWithMessage(resultsFileText(m_state.profile.SubjectTitle, failure.problem, failure.file));
}

Expected<void> ScreenFlow::readRunList(
    const RunListQuery& query, const std::function<void(std::uint64_t, std::uint64_t)>& progress,
    RunListRows& rows) {
    return endingOnFailure(m_results.readRunList(query, progress, rows));
}

Expected<void> ScreenFlow::readGraphRecords(std::vector<LoadedRecord>& records) {
    return endingOnFailure(m_results.readGraphRecords(records));
}

Expected<void> ScreenFlow::endingOnFailure(Expected<void> outcome) {
    if (!outcome) {
        endWithMessage(resultsFileText(m_state.profile.SubjectTitle, outcome.error().problem,
                                       m_results.resultsFile()));
    }
    return outcome;
}

void ScreenFlow::endWithMessage(const MessageText& message) {
    m_ended = true;
    m_pendingChange = nullptr;
    QWidget* newest = nullptr;
    for (QWidget* window :
         std::initializer_list<QWidget*>{m_recordsBrowser, m_criteriaEditor, m_finish, m_drill,
                                         m_menu, m_names, m_waitWindow}) {
        if (window && !newest) newest = window;
    }
    inform(m_boxes, newest, message);
    unload(m_recordsBrowser);
    unload(m_criteriaEditor);
    unload(m_finish);
    unload(m_drill);
    unload(m_menu);
    unload(m_names);
    unload(m_waitWindow);
    emit programEnded(1);
}

}  // namespace gaisan

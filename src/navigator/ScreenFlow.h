#pragma once

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/PosixRecordFile.h"
#include "rules/admin/Installation.h"
#include "rules/admin/PasscodeTries.h"
#include "rules/menu/LevelMenu.h"
#include "rules/menu/RunLists.h"
#include "rules/student/ProgramStart.h"
#include "rules/student/ResultsAccess.h"
#include "rules/student/StudentSession.h"
#include "windows/admin/AdminFlow.h"
#include "windows/analysis/MistakeAnalysisHost.h"
#include "windows/drill/DrillHost.h"
#include "windows/finish/FinishHost.h"
#include "windows/menu/MenuHost.h"
#include "windows/names/NameSelectionHost.h"
#include "windows/start/SplashHost.h"

class QWidget;

namespace gaisan {

struct AppState;
struct MessageText;
class BASEFRM;
class Clock;
class CuePlayer;
class Firstfrm;
class FrmData;
class FrmSyuuryou;
class FrmTimeData;
class Launcher;
class MainFrm;
class MessageBoxes;
class MistakeAnalysisWindow;
class namesel;
class seisekitime1;
class RandomSource;
class SoundCues;
class SoundPlayer;

/// Opens and closes the screens in the program's order: a screen that was closed is created
/// afresh when it is shown again, and its load and activation steps are called here explicitly,
/// so that nothing depends on how a platform delivers activation events. The screen that is left
/// is closed here too, at its place in the change, never by another screen.
///
/// Every change of screen is a request that takes effect from the event loop, after the handler
/// that asked for it has returned, and never while another change is still loading or
/// activating its screen: a click or key that arrives while a screen plays its sounds or
/// rebuilds its lists waits until that screen is up. While one change waits, further requests
/// are ignored, so a double click changes screens once. An unloaded screen is forgotten at once
/// (Qt deletes it later), so it is never brought back. The program ends only through
/// `programEnded`, never because a last window happened to close.
///
/// Each screen sees the flow only through its own host interface. The results file is reached
/// through ResultsAccess and the message texts come from MessageTexts; a failure of the results
/// file or of the sound ends the program here, with its message.
class ScreenFlow : public QObject,
                   public AdminFlow,
                   public SplashHost,
                   public NameSelectionHost,
                   public DrillHost,
                   public FinishHost,
                   public MenuHost,
                   public MistakeAnalysisHost {
    Q_OBJECT

public:
    ScreenFlow(AppState& state, const Clock& clock, RandomSource& random, MessageBoxes& boxes,
               SoundPlayer& player, Launcher& launcher, std::filesystem::path programFolder);
    ~ScreenFlow() override;

    /// Shows the splash window, which continues the start-up 100 ms later.
    void start();

    /// Loads the configuration and opens the first working screen. A configuration file that
    /// cannot be used is reported, naming the file and the problem, and ends the program with
    /// exit code 1.
    void ContinueStartup() override;
    ProgramStart startProgram() override;

    /// A fresh name-selection screen, for the next student.
    void showNameSelection() override;
    /// The student chosen on the name-selection screen is logged in: the level table is written
    /// and the level menu opens.
    void logIn() override;
    /// Starts the suite launcher beside the program's folder, with the argument "001", and ends
    /// the program at once, whether or not the launcher could be started.
    void leaveToLauncher() override;

    /// Starts a run of state.login.CurrentLevel: shows the drill screen, which sets the run up.
    void StartRun() override;
    /// From the finish screen: the same level again.
    void runAgain() override;
    /// From the drill screen, after the run's record is written: the finish screen.
    void showFinishScreen() override;
    /// The level menu, freshly opened.
    void showMenu() override;
    /// From the level menu's maintenance panel: the records browser or the criteria editor opens
    /// and then the level menu unloads.
    void showRecordsBrowser() override;
    void showCriteriaEditor() override;
    /// From the level menu's maintenance panel: the mistake analysis opens and then the level
    /// menu unloads.
    void showMistakeAnalysis() override;
    /// The answers of `scope` in the results file's folder, summed up.
    Expected<MistakeAnalysis> readMistakeAnalysis(const AnalysisScope& scope) override;
    /// From an administration screen: it closes and a fresh level menu opens.
    void backToMenu() override;

    /// Tells the teacher that a data file cannot be used, naming it and what is wrong; the
    /// program goes on.
    void reportUnusableFile(const Failure& failure) override;
    /// Tells the teacher which roster lines were left out, and why.
    void reportSkippedRosterEntries(const std::filesystem::path& rosterFile,
                                    const std::vector<std::string>& sentences) override;

    /// The wait window, shown while a screen change takes a moment; the next screen's opening
    /// closes it.
    void showWaitWindow() override;
    void closeWaitWindow();

    /// The version window, modal, centred over `over`.
    void showVersionWindow(QWidget* over) override;

    /// Recounts the results; a failure of the results file ends the program.
    Expected<void> computeCounts() override;
    /// Builds a run list from the results file into `rows`. While another machine holds the
    /// file, waits a second and tells the user to call the teacher before each retry. A failure
    /// of the file ends the program.
    Expected<void> readRunList(const RunListQuery& query,
                               const std::function<void(std::uint64_t, std::uint64_t)>& progress,
                               RunListRows& rows) override;
    /// The newest records of the results file for the graphs, read as the run lists read
    /// them; a failure of the file ends the program.
    Expected<void> readGraphRecords(std::vector<LoadedRecord>& records) override;
    /// Tells the teacher that a print could not start.
    void reportPrintFailure() override;
    /// For the teacher's maintenance panel: tells, once in the program's run, what keeps the
    /// classroom's users from sharing the results file or from getting its daily copies. Asked
    /// again each time the panel opens until there is something to tell.
    void reportSharedFileProblemsOnce() override;
    PasscodeTries& passcodeTries() override { return *m_passcodeTries; }
    bool passcodeGiven() const override { return m_passcodeGiven; }
    void notePasscodeGiven() override { m_passcodeGiven = true; }

    StudentSession& session() override { return m_session; }
    LevelMenu& levelMenu() override { return m_levelMenu; }
    Installation& installation() override { return m_installation; }
    /// A failure of the results file ends the program with its message.
    void endWithFailure(const Failure& failure) override;
    const Clock& clock() const override { return m_clock; }
    MessageBoxes& boxes() override { return m_boxes; }
    /// Waits while keeping the windows responsive, for the results file's retries.
    void waitResponsively(int seconds) override;

signals:
    void programEnded(int exitCode);

private:
    /// A failure of the results file, when there is one, ends the program with its message; the
    /// outcome is handed on, so that the screen that asked stops too.
    Expected<void> endingOnFailure(Expected<void> outcome);
    /// Shows `message` in a box and ends the program: every window closes, newest first.
    void endWithMessage(const MessageText& message);
    /// Asks for a change of screen; see the class comment for when it takes effect.
    void requestChange(std::function<void()> change);
    void performPendingChange();
    void openNameSelection();
    void openMenu();
    void openDrill();
    void openFinishScreen();

    AppState& m_state;
    const Clock& m_clock;
    RandomSource& m_random;
    MessageBoxes& m_boxes;
    Launcher& m_launcher;
    std::filesystem::path m_programFolder;
    std::unique_ptr<SoundCues> m_cues;
    PosixRecordFile m_recordFile;
    ResultsAccess m_results;
    StudentSession m_session;
    LevelMenu m_levelMenu;
    Installation m_installation;
    QPointer<Firstfrm> m_splash;
    QPointer<BASEFRM> m_waitWindow;
    QPointer<namesel> m_names;
    QPointer<seisekitime1> m_menu;
    QPointer<MainFrm> m_drill;
    QPointer<FrmSyuuryou> m_finish;
    QPointer<FrmData> m_recordsBrowser;
    QPointer<FrmTimeData> m_criteriaEditor;
    QPointer<MistakeAnalysisWindow> m_mistakeAnalysis;
    std::function<void()> m_pendingChange;
    bool m_changing = false;
    bool m_ended = false;
    bool m_sharedFileProblemsTold = false;
    /// Made once the configuration names the data folder that keeps the count.
    std::optional<PasscodeTries> m_passcodeTries;
    /// Forgotten whenever the menu is left for the name list or a run.
    bool m_passcodeGiven = false;
};

}  // namespace gaisan

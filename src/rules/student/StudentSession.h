#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/AppState.h"
#include "platform/Clock.h"
#include "platform/Expected.h"
#include "platform/RandomSource.h"
#include "rules/drill/AnswerEntry.h"
#include "rules/drill/RunControl.h"
#include "rules/menu/LevelAvailability.h"
#include "rules/student/FinishDecisions.h"
#include "rules/student/NameList.h"
#include "rules/student/StudentResults.h"

namespace gaisan {

/// The name list as a visit shows it, with what its roster left out.
struct NameListRead {
    NameList list;
    std::filesystem::path rosterFile;
    /// Why roster lines were left out, one sentence each; for the teacher, once.
    std::vector<std::string> skippedEntries;
    /// The roster could not be used at all: the list holds its prompt row only.
    std::optional<Failure> unusableRoster;
};

/// What the drill screen shows above the problems as a run starts.
struct RunHeading {
    std::string subjectTitle;
    std::string studentName;  ///< as the roster spells it
    std::string levelName;
    std::string schoolName;
    int todayRunNumber = 0;  ///< this run among the student's runs of today
    int levelRunNumber = 0;  ///< this run among the student's runs of the level today
    int problemsToGo = 0;    ///< net correct answers the run needs
    /// For a level the profile defines: the time bar's whole length, and its two marks.
    bool levelDefined = false;
    std::int32_t timeLimit = 0;
    std::int32_t targetTime = 0;
    std::int32_t minLineTime = 0;
};

/// The run clock at one of its ticks.
struct RunClockTick {
    std::int32_t elapsed = 0;                ///< whole seconds since the run started
    bool limitReached = false;               ///< elapsed has reached the time limit
    const CountdownBoxes* hidden = nullptr;  ///< the count-down boxes to be hidden by now
};

/// What the finish screen shows for the run just recorded, from the tables recounted after it.
struct FinishScreen {
    std::string subjectTitle;
    std::string studentName;  ///< as the roster spells it
    std::string levelName;
    std::string resultLine;    ///< "今の成績：…秒" or "記録なし"
    std::string pointsLine;    ///< "獲得ポイント：…"
    std::string levelRunText;  ///< " (このレベル　N回目)"
    std::string todayRunText;  ///< "（N回目)"
    std::string messageText;   ///< "時間切れ", "新記録おめでとう"…; empty for none
    FinishPlan plan;
};

/// One student's visit, apart from the school's shared tables: who is logged in, the grade band
/// chosen, the news of the run just recorded, and the run in progress with its answer entry.
/// The desktop has one visit at a time; a server keeps one for each device and serves them in
/// turn through one session, which holds the roster, the criteria and the counts only once.
struct StudentVisit {
    Login login;
    std::string gradeBand = "全学年";
    RunState run;
    std::unique_ptr<AnswerEntry> entry;
    CountdownBoxes countdownHidden{};
    // The current student's flags of the count tables, which the finish screen reads.
    int newPersonalBest = 0;
    int newLevelBest = 0;
    int wasClearedBefore = 0;
    int goalCleared = 0;
};

/// The student's way through the program, decided without a window: the name list and who is
/// logged in, which levels may be run and the one chosen, the run in progress (its problems,
/// answer boxes, judging, remaining count and clock), its record, and what the finish screen
/// shows and offers. The desktop's screens drive it step by step, each showing what a step
/// returns; any other front-end drives the same steps and so keeps the same rules.
///
/// It works on the program's shared state, which it alone changes for these steps, and reaches
/// the results file through `results`; a failure of the results file is returned, and the
/// program cannot go on from it.
class StudentSession {
public:
    StudentSession(AppState& state, StudentResults& results, const Clock& clock,
                   RandomSource& random, CuePlayer& cues);
    ~StudentSession();

    /// Makes `visit` the session's own and leaves the visit it had in `visit`: exchanging
    /// again gives each its own back. Nothing of one student's visit then reaches another's.
    void exchangeVisit(StudentVisit& visit);

    // The name list and the log-in.

    /// A visit begins at the name list: the random numbers start a fresh sequence.
    void beginVisit();
    /// The grade band the lists show, "全学年" for all.
    void chooseGradeBand(std::string band);
    /// Recounts the results and reads the roster into the name list of `band`, each name with
    /// the figures of `mode`. A roster that cannot be used is told in the result; a failure of
    /// the results file is the failure.
    Expected<NameListRead> readNameList(FigureMode mode, std::string_view band);
    /// Logs in roster entry `student`, from now.
    void logIn(int student);
    const Login& login() const { return m_state.login; }
    /// Whole minutes since the log-in.
    int minutesSinceLogIn() const;

    // The level menu's choice.

    /// Which levels the student may run now, worked out afresh.
    LevelAvailability levels();
    /// Chooses `level` for the next run; false, changing nothing, when it may not be run.
    bool chooseLevel(int level);

    // The run.

    /// Sets up a run of the chosen level with fresh random numbers: every flag of the last run
    /// cleared, the time limit set, the answer entry ready. `hooks` are the screen's: how it
    /// shows the boxes and lets events run, stops its clock and ends the run; the monotonic
    /// clock is the session's own.
    RunHeading startRun(AnswerEntry::Hooks hooks);
    /// The run's clock starts now, and its first problem is drawn.
    void beginWorking();
    /// Whether a run has been set up, so that there are boxes to type into.
    bool hasRun() const { return m_entry != nullptr; }
    /// The answer entry of the run in progress: its problem, boxes and keys.
    AnswerEntry& entry() { return *m_entry; }
    const RunState& run() const { return m_state.run; }
    /// Net correct answers the run still needs.
    int problemsToGo() const;
    /// A tick of the run clock: the elapsed time, and the count-down boxes due.
    RunClockTick tick();
    /// The count-down boxes hidden at the last tick.
    const CountdownBoxes& countdownHidden() const { return m_countdownHidden; }
    /// At or past the time limit: the run ends now as a time-up, unless it is already ending,
    /// finished, or an answer is being judged (then the next tick asks again).
    bool timeUpNow();
    /// The end of the run begins; false when it had already begun.
    bool beginEndOfRun();
    /// Records the run with the time it took (the time-up mark for a time-up) and its answers.
    Expected<void> recordRun();

    // The finish screen.

    /// The run's number among the student's runs of the level today, before the recount counts
    /// it.
    int finishingRunNumber() const;
    /// Recounts the results and decides what the finish screen shows and plays.
    Expected<FinishScreen> finish();
    /// Plays the sound of the finish screen's message, or the fail cue; true when one played.
    bool playMessageSound(const FinishPlan& plan);
    /// Plays the fanfare of the final level cleared for the first time.
    void playGoalFanfare(const FinishPlan& plan);
    /// Whether to offer "もう一度", once the screen has settled.
    RetryChoice retryChoice() const;

    // What every screen of the visit shows.

    const ProgramProfile& profile() const { return m_state.profile; }
    Colour seasonColour() const { return m_state.SeasonColour; }
    CuePlayer& cues() { return m_cues; }

private:
    AppState& m_state;
    StudentResults& m_results;
    const Clock& m_clock;
    RandomSource& m_random;
    CuePlayer& m_cues;
    std::unique_ptr<AnswerEntry> m_entry;
    CountdownBoxes m_countdownHidden{};
};

}  // namespace gaisan

#include "rules/student/StudentSession.h"

#include <cmath>
#include <utility>

#include "rules/counts/Counts.h"
#include "rules/menu/LevelMenu.h"
#include "stores/installation/DataFolder.h"

namespace gaisan {

StudentSession::StudentSession(AppState& state, StudentResults& results, const Clock& clock,
                               RandomSource& random, CuePlayer& cues)
    : m_state(state), m_results(results), m_clock(clock), m_random(random), m_cues(cues) {}

StudentSession::~StudentSession() = default;

void StudentSession::exchangeVisit(StudentVisit& visit) {
    using std::swap;
    swap(m_state.login, visit.login);
    swap(m_state.roster.SelectedGradeBand, visit.gradeBand);
    swap(m_state.run, visit.run);
    swap(m_entry, visit.entry);
    swap(m_countdownHidden, visit.countdownHidden);
    CountTables& counts = m_state.counts;
    swap(counts.NewPersonalBest, visit.newPersonalBest);
    swap(counts.NewLevelBest, visit.newLevelBest);
    swap(counts.WasClearedBefore, visit.wasClearedBefore);
    swap(counts.GoalCleared, visit.goalCleared);
}

void StudentSession::beginVisit() {
    m_random.seedFromTimeOfDay(m_clock.now().secondsSinceMidnight);
}

void StudentSession::chooseGradeBand(std::string band) {
    m_state.roster.SelectedGradeBand = std::move(band);
}

Expected<NameListRead> StudentSession::readNameList(FigureMode mode, std::string_view band) {
    if (auto counted = m_results.recount(); !counted) return Unexpected(counted.error());
    NameListRead read;
    read.rosterFile = m_state.locations.rosterFile();
    std::vector<std::string> staging;
    auto skipped = loadSchoolRoster(
        m_state, m_state.roster, m_clock.now().date, [&](const RosterEntry& entry, int grade) {
            staging.push_back(stagingRowOf(entry, grade, mode, m_state.counts));
        });
    if (skipped) {
        read.skippedEntries = std::move(*skipped);
    } else {
        // The list keeps its prompt row, so that the screen still explains itself.
        staging.clear();
        read.unusableRoster = std::move(skipped).error();
    }
    read.list = nameListOf(std::move(staging), m_state.roster.SchoolYear, band);
    return read;
}

void StudentSession::logIn(int student) {
    Login& login = m_state.login;
    login.LoginTime = static_cast<std::int32_t>(std::lround(m_clock.now().secondsSinceMidnight));
    login.StudentIndex = student;
    login.StudentName = m_state.roster.RosterNames.at(student);
    login.StudentGradeLabel = m_state.roster.RosterGradeLabels.at(student);
}

int StudentSession::minutesSinceLogIn() const {
    return gaisan::minutesSinceLogIn(m_state.login, m_clock.now());
}

LevelAvailability StudentSession::levels() {
    LevelAvailability availability = refreshLevelAvailability(m_state);
    m_state.counts.GoalCleared = availability.goalCleared;
    return availability;
}

bool StudentSession::chooseLevel(int level) {
    const LevelAvailability availability = refreshLevelAvailability(m_state);
    if (level < 1 || level >= static_cast<int>(availability.enabled.size()) ||
        !availability.enabled.at(level)) {
        return false;
    }
    m_state.login.CurrentLevel = level;
    return true;
}

RunHeading StudentSession::startRun(AnswerEntry::Hooks hooks) {
    // Each run's problems come from a sequence of their own.
    m_random.seedFromTimeOfDay(m_clock.now().secondsSinceMidnight);
    RunState& run = m_state.run;
    const Login& login = m_state.login;
    const int level = login.CurrentLevel;
    const int student = login.StudentIndex;
    beginRun(run, m_state.profile, m_state.criteria, level);
    m_state.login.TodayRunTotal = todayRunTotal(m_state.counts, student, kDrillRunTotalLastLevel);
    m_countdownHidden = {};

    hooks.tickMilliseconds = [this] { return m_clock.tickMilliseconds(); };
    m_entry = std::make_unique<AnswerEntry>(run, level, m_random, m_cues, std::move(hooks));

    RunHeading heading;
    heading.subjectTitle = m_state.profile.SubjectTitle;
    heading.studentName = login.StudentName;
    heading.levelName = m_state.profile.LevelNames.at(level);
    heading.schoolName = m_state.common.SchoolName;
    heading.todayRunNumber = login.TodayRunTotal + 1;
    heading.levelRunNumber = static_cast<int>(m_state.counts.TodayRunCounts.at(level, student)) + 1;
    heading.problemsToGo = run.ProblemsPerRun;
    heading.levelDefined = m_state.profile.LevelDefined.at(level) != 0;
    heading.timeLimit = run.TimeLimit;
    heading.targetTime = m_state.criteria.TargetTime.at(level);
    heading.minLineTime = m_state.criteria.MinLineTime.at(level);
    return heading;
}

void StudentSession::beginWorking() {
    m_state.run.RunStartTick = m_clock.tickMilliseconds();
    m_entry->問題作成表示();
}

int StudentSession::problemsToGo() const {
    return m_state.run.ProblemsPerRun - m_state.run.CorrectCount;
}

RunClockTick StudentSession::tick() {
    RunState& run = m_state.run;
    const int level = m_state.login.CurrentLevel;
    run.ElapsedSeconds = elapsedSecondsBetween(run.RunStartTick, m_clock.tickMilliseconds());
    hideCountdownBoxes(
        m_countdownHidden, run.ElapsedSeconds,
        {0, 0, m_state.criteria.TargetTime.at(level), m_state.criteria.MinLineTime.at(level)});
    return {run.ElapsedSeconds, run.ElapsedSeconds >= run.TimeLimit, &m_countdownHidden};
}

bool StudentSession::timeUpNow() {
    if (!timeUpDue(m_state.run)) return false;
    m_state.run.TimeUp = 1;
    return true;
}

bool StudentSession::beginEndOfRun() {
    RunState& run = m_state.run;
    if (run.EndOfRunStarted == 1) return false;
    run.EndOfRunStarted = 1;
    return true;
}

Expected<void> StudentSession::recordRun() {
    RunState& run = m_state.run;
    run.RecordedTime = run.TimeUp == 1 ? kNoTime : run.ElapsedSeconds;
    return m_results.recordRun(m_state.login.CurrentLevel);
}

int StudentSession::finishingRunNumber() const {
    const Login& login = m_state.login;
    return static_cast<int>(
               m_state.counts.TodayRunCounts.at(login.CurrentLevel, login.StudentIndex)) +
           1;
}

Expected<FinishScreen> StudentSession::finish() {
    if (auto counted = m_results.recount(); !counted) return Unexpected(counted.error());
    const Login& login = m_state.login;
    const int level = login.CurrentLevel;
    const std::int32_t seconds = m_state.run.RecordedTime;
    FinishScreen screen;
    screen.plan = planFinish(m_state);
    screen.subjectTitle = m_state.profile.SubjectTitle;
    screen.studentName = login.StudentName;
    screen.levelName = m_state.profile.LevelNames.at(level);
    screen.resultLine = resultLine(seconds);
    screen.pointsLine = pointsLine(seconds, level, m_state);
    screen.levelRunText = " (このレベル　" +
                          std::to_string(static_cast<int>(
                              m_state.counts.TodayRunCounts.at(level, login.StudentIndex))) +
                          "回目)";
    m_state.login.TodayRunTotal = todayRunTotal(m_state.counts, login.StudentIndex, kHighestLevel);
    screen.todayRunText = "（" + std::to_string(login.TodayRunTotal) + "回目)";
    screen.messageText = finishMessageText(screen.plan.message);
    // The news is told once: the next run starts without it.
    m_state.counts.NewPersonalBest = 0;
    m_state.counts.NewLevelBest = 0;
    return screen;
}

bool StudentSession::playMessageSound(const FinishPlan& plan) {
    switch (plan.message) {
        case FinishMessage::TimeUp:
            return false;
        case FinishMessage::PersonalBest:
            m_cues.PlayPersonalBestCue();
            return true;
        case FinishMessage::LevelBest:
            m_cues.PlayBestSound();
            return true;
        case FinishMessage::None:
            if (!plan.failCue) return false;
            m_cues.PlayFailCue();
            return true;
    }
    return false;
}

void StudentSession::playGoalFanfare(const FinishPlan& plan) {
    if (plan.passFanfare) m_cues.PlayPassSound();
}

RetryChoice StudentSession::retryChoice() const { return chooseRetry(m_state); }

}  // namespace gaisan

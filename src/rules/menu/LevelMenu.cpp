#include "rules/menu/LevelMenu.h"

#include "rules/counts/Counts.h"
#include "rules/menu/LevelColumnTexts.h"
#include "stores/roster/Roster.h"

namespace gaisan {

int minutesSinceLogIn(const Login& login, const LocalDateTime& now) {
    return (static_cast<std::int32_t>(now.secondsSinceMidnight) - login.LoginTime) / 60;
}

LevelMenu::LevelMenu(AppState& state, const Clock& clock) : m_state(state), m_clock(clock) {}

bool LevelMenu::teacherLoggedIn() const { return isTeacherName(m_state.login.StudentName); }

int LevelMenu::minutesSinceLogIn() const {
    return gaisan::minutesSinceLogIn(m_state.login, m_clock.now());
}

int LevelMenu::countTodaysRuns() {
    m_state.login.TodayRunTotal =
        todayRunTotal(m_state.counts, m_state.login.StudentIndex, kHighestLevel);
    return m_state.login.TodayRunTotal;
}

std::string LevelMenu::criteriaLine(int level) const {
    return gaisan::criteriaLine(m_state, level);
}

std::string LevelMenu::passWindowLine(int level) const {
    return gaisan::passWindowLine(m_state, level);
}

std::string LevelMenu::totalsLine(int level) const { return gaisan::totalsLine(m_state, level); }

std::string LevelMenu::todayLine(int level) const { return gaisan::todayLine(m_state, level); }

LevelRanking LevelMenu::rank(int level, RankingView view, PointsBasis basis,
                             std::string_view band) const {
    return rankLevel(m_state, level, view, basis, band);
}

std::vector<std::string> LevelMenu::readRoster(const RosterRowBuilder& rowBuilder) {
    return loadSchoolRoster(m_state, m_state.roster, m_clock.now().date, rowBuilder);
}

LevelStatistics LevelMenu::statistics(int student, int level, std::string_view band) const {
    return graphStatistics(m_state, student, level, band);
}

ExportSources LevelMenu::exportSources() const {
    return {m_state.roster, m_state.profile.LevelNames, m_state.criteria,
            m_state.common.YearChangeMonth};
}

}  // namespace gaisan

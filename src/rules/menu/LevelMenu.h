#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/AppState.h"
#include "platform/Clock.h"
#include "rules/exports/ResultsExport.h"
#include "rules/menu/GraphStatistics.h"
#include "rules/menu/Ranking.h"
#include "stores/installation/DataFolder.h"

namespace gaisan {

/// Whole minutes from the log-in to `now`, as the screens show them.
int minutesSinceLogIn(const Login& login, const LocalDateTime& now);

/// The level menu of the logged-in student, decided without a window: its heading, the choices
/// it keeps from one visit to the next, each level's column texts, the rankings, the graph
/// panel's figures and what an export reads. The menu's window and its panels show what this
/// gives; the results file's reads and recounts come through their host.
class LevelMenu {
public:
    LevelMenu(AppState& state, const Clock& clock);

    // The heading.

    const Login& login() const { return m_state.login; }
    const ProgramProfile& profile() const { return m_state.profile; }
    const CommonConfiguration& school() const { return m_state.common; }
    Colour seasonColour() const { return m_state.SeasonColour; }
    /// The teacher is logged in: the data command shows.
    bool teacherLoggedIn() const;
    int minutesSinceLogIn() const;
    /// The student's runs of today on every level, from the last recount; kept for the screens
    /// that show it next.
    int countTodaysRuns();

    // What the menu keeps from one visit to the next.

    MenuChoices& choices() { return m_state.menu; }
    const MenuChoices& choices() const { return m_state.menu; }
    /// The grade band the lists show, as the name list left it.
    const std::string& gradeBand() const { return m_state.roster.SelectedGradeBand; }

    // The level columns.

    std::string criteriaLine(int level) const;
    std::string passWindowLine(int level) const;
    std::string totalsLine(int level) const;
    std::string todayLine(int level) const;

    // The lists and the graph panel.

    LevelRanking rank(int level, RankingView view, PointsBasis basis, std::string_view band) const;
    const RosterTables& roster() const { return m_state.roster; }
    /// Reads the school's roster afresh into roster(), handing each listed entry to
    /// `rowBuilder`; the sentences saying which lines were left out, and why. Throws
    /// DataFileError for a roster that cannot be used.
    std::vector<std::string> readRoster(const RosterRowBuilder& rowBuilder);
    LevelStatistics statistics(int student, int level, std::string_view band) const;

    // The files the menu's commands read.

    /// What a spreadsheet export of the results file names its rows with.
    ExportSources exportSources() const;
    std::filesystem::path resultsFile() const { return m_state.locations.resultsFile(); }
    std::filesystem::path passcodeFile() const { return m_state.locations.passcodeFile(); }

private:
    AppState& m_state;
    const Clock& m_clock;
};

}  // namespace gaisan

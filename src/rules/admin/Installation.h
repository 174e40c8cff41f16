#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/AppState.h"
#include "platform/Clock.h"
#include "platform/Expected.h"
#include "stores/installation/DataFolder.h"

namespace gaisan {

/// The installation as the teacher's screens see it and change it: the school, its levels and
/// roster, the criteria in force, and the files the records browser, the criteria editor and
/// the mistake analysis work on. Their windows show what this gives, never the whole state.
class Installation {
public:
    Installation(AppState& state, const Clock& clock);

    const ProgramProfile& profile() const { return m_state.profile; }
    const CommonConfiguration& school() const { return m_state.common; }
    const CriteriaTable& criteria() const { return m_state.criteria; }

    /// Reads the school's roster for today into `tables`, handing each listed entry to
    /// `rowBuilder`; the sentences saying which lines were left out, and why.
    Expected<std::vector<std::string>> readRoster(RosterTables& tables,
                                                  const RosterRowBuilder& rowBuilder = {}) const;
    /// Reads the school's roster into the program's own tables, as readRoster does.
    Expected<std::vector<std::string>> readProgramRoster(const RosterRowBuilder& rowBuilder);
    /// Loads the criteria file again, after a save, into the criteria in force.
    Expected<void> reloadCriteria();

    std::filesystem::path resultsFile() const { return m_state.locations.resultsFile(); }
    std::filesystem::path criteriaFile() const { return m_state.locations.criteriaFile(); }
    /// The folder of the results file, the criteria and the answers' year folders.
    std::filesystem::path programDataFolder() const { return m_state.locations.ProgramDataFolder; }

private:
    AppState& m_state;
    const Clock& m_clock;
};

}  // namespace gaisan

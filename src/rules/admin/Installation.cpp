#include "rules/admin/Installation.h"

namespace gaisan {

Installation::Installation(AppState& state, const Clock& clock) : m_state(state), m_clock(clock) {}

Expected<std::vector<std::string>> Installation::readRoster(
    RosterTables& tables, const RosterRowBuilder& rowBuilder) const {
    return loadSchoolRoster(m_state, tables, m_clock.now().date, rowBuilder);
}

Expected<std::vector<std::string>> Installation::readProgramRoster(
    const RosterRowBuilder& rowBuilder) {
    return readRoster(m_state.roster, rowBuilder);
}

Expected<void> Installation::reloadCriteria() {
    return LoadCriteriaTable(criteriaFile(), m_state.criteria, m_state.profile.LevelCount);
}

}  // namespace gaisan

#include "stores/installation/DataFolder.h"

#include "stores/installation/Configuration.h"

namespace gaisan {

void loadSettingsAndCriteria(AppState& state) {
    state.common = readCommonConfiguration(state.locations.commonSettingsFile());
    ApplyProfileTitle(state.profile);
    LoadCriteriaTable(state.locations.criteriaFile(), state.criteria, kDefinedLevelCount);
}

std::vector<std::string> loadSchoolRoster(const AppState& state, RosterTables& tables,
                                          const CivilDate& today,
                                          const RosterRowBuilder& rowBuilder) {
    return LoadRoster(tables, state.locations.rosterFile(), today, state.common.YearChangeMonth,
                      state.common.RosterOption, rowBuilder);
}

}  // namespace gaisan

#include "stores/installation/DataFolder.h"

#include "stores/installation/Configuration.h"

namespace gaisan {

Expected<void> loadSettingsAndCriteria(AppState& state) {
    Expected<CommonConfiguration> common =
        readCommonConfiguration(state.locations.commonSettingsFile());
    if (!common) return Unexpected(common.error());
    state.common = std::move(*common);
    ApplyProfileTitle(state.profile);
    return LoadCriteriaTable(state.locations.criteriaFile(), state.criteria, kDefinedLevelCount);
}

Expected<std::vector<std::string>> loadSchoolRoster(const AppState& state, RosterTables& tables,
                                                    const CivilDate& today,
                                                    const RosterRowBuilder& rowBuilder) {
    return LoadRoster(tables, state.locations.rosterFile(), today, state.common.YearChangeMonth,
                      state.common.RosterOption, rowBuilder);
}

}  // namespace gaisan

#pragma once

#include <string>
#include <vector>

#include "base/AppState.h"
#include "platform/Calendar.h"
#include "platform/Expected.h"
#include "stores/roster/Roster.h"

namespace gaisan {

/// The school's settings from "共通データ.txt", the program's title and the criteria table of the
/// installation at `state.locations`: what the program reads at start-up, once it knows its data
/// root, and what gaisan-records reads before a list or an export. Fails naming the first file
/// that is missing, unreadable or breaks a rule, in that order.
Expected<void> loadSettingsAndCriteria(AppState& state);

/// The roster of the installation at `state.locations` for `today`, by the school's settings in
/// `state`, into `tables`, handing each listed entry to `rowBuilder`; the sentences saying which
/// lines were left out, and why. Fails as LoadRoster does.
Expected<std::vector<std::string>> loadSchoolRoster(const AppState& state, RosterTables& tables,
                                                    const CivilDate& today,
                                                    const RosterRowBuilder& rowBuilder = {});

}  // namespace gaisan

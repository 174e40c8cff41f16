#pragma once

#include <string>

#include "base/IndexedTables.h"

namespace gaisan {

/// The levels of the level table (1..24), every one of which needs its criteria.
inline constexpr int kDefinedLevelCount = 24;

/// What makes this member of the drill suite this one: its subject and its levels. Every other
/// screen is generic and reads these.
struct ProgramProfile {
    std::string SubjectTitle;
    int LevelCount = 0;  ///< levels 1..LevelCount are offered in the level menu
    int FinalLevel = 0;  ///< the last level; the finish screen treats a run of it specially
    PerLevel<std::string> LevelNames{};
    PerLevel<int> LevelDefined{};  ///< 1 for each level the profile defines
    int AllLevelsOpen = 0;  ///< 1: every level may be started without clearing the one before
};

/// Sets the subject title ("概算") and opens every level. Run once by the configuration load.
void ApplyProfileTitle(ProgramProfile& profile);

/// Writes the level table (24 defined levels, 4 playable) and names any unnamed level 1..12
/// "ﾚﾍﾞﾙ" + its number. Run at every login; the caller then opens the level menu.
void ApplyProfileLevels(ProgramProfile& profile);

}  // namespace gaisan

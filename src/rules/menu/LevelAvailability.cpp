#include "rules/menu/LevelAvailability.h"

#include <algorithm>
#include <string>

#include "base/AppState.h"
#include "rules/counts/Counts.h"
#include "stores/roster/Roster.h"

namespace gaisan {
bool isPracticeLevel(const ProgramProfile& profile, int level) {
    return profile.LevelNames.at(level).find("練") != std::string::npos;
}

LevelAvailability refreshLevelAvailability(const AppState& state) {
    const ProgramProfile& profile = state.profile;
    const CriteriaTable& criteria = state.criteria;
    const CountTables& counts = state.counts;
    const int student = state.login.StudentIndex;
    const int levels = profile.LevelCount;

    LevelAvailability shown;
    shown.enabled.assign(static_cast<std::size_t>(std::max(levels, 0)) + 1, false);
    shown.overuseMark.assign(shown.enabled.size(), false);
    shown.goalCleared = goalCleared(profile.FinalLevel, student, criteria, counts) ? 1 : 0;
    if (levels < 1) return shown;

    const bool teacher = isTeacherName(state.login.StudentName);
    shown.enabled[1] = true;
    // Once a level is found closed, practice levels after it no longer open their successors.
    bool closedBefore = false;
    for (int level = 1; level <= levels; ++level) {
        const bool practice = isPracticeLevel(profile, level);
        if (practice) shown.enabled[level] = true;
        // Only the levels before the last one open anything, so the last one's successor is
        // never looked up.
        const bool last = level == levels;
        const bool open = (!closedBefore && practice) ||
                          LevelCleared(level, student, criteria, counts) || teacher ||
                          (!last && criteria.ClearPoints.at(level + 1) == kNoClearTarget) ||
                          profile.AllLevelsOpen == 1;
        if (!open) {
            closedBefore = true;
            continue;
        }
        if (last) continue;
        shown.enabled[level + 1] = true;
        if (shown.goalCleared == 0 && !practice &&
            LevelOverused(level, student, criteria, counts)) {
            shown.enabled[level] = false;
            shown.overuseMark[level] = true;
        }
    }
    return shown;
}

}  // namespace gaisan

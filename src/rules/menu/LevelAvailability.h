#pragma once

#include <string_view>
#include <vector>

namespace gaisan {

struct AppState;
struct ProgramProfile;

/// What the level menu shows for the current student: which start buttons can be pressed and
/// which carry the over-use mark "やりすぎ禁止". Indexed by level 1..LevelCount; slot 0 unused.
/// Everything is worked out afresh, so a mark not set here is to be hidden.
struct LevelAvailability {
    std::vector<bool> enabled;
    std::vector<bool> overuseMark;
    /// 1 when the student has cleared the profile's final level, else 0.
    int goalCleared = 0;
};

/// A practice level: its name contains "練". Practice levels are always open and never closed
/// for over-use.
bool isPracticeLevel(const ProgramProfile& profile, int level);

/// Works out the level buttons from the student's progress. Level 1 and every practice level
/// are enabled; walking the levels in order, a level that is open enables the next one. A level
/// is open when it is cleared, for the teacher, when the next level has no target (clear points
/// 9999), when the profile opens all levels, or when it is a practice level and no earlier level
/// was closed. An open level other than the last one that the student has over-used in its
/// over-use window is disabled and marked, unless it is a practice level or the student has
/// cleared the final level; the last level is never marked.
LevelAvailability refreshLevelAvailability(const AppState& state);

}  // namespace gaisan

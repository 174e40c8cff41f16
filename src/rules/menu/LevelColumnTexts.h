#pragma once

#include <string>

namespace gaisan {

struct AppState;

/// The level's criteria: "目標=" + target time + "秒 " + clear count + "回/" + clear points +
/// "点(×" + point rate + ")", or "目標=" + target time + "秒 --------" for a level without a
/// points target (clear points 9999). Empty for a level the profile does not define.
std::string criteriaLine(const AppState& state, int level);

/// The current student's pass window: "最近" + pass days + "日=" + count + "回 / " + points +
/// "点". Empty for a level the profile does not define.
std::string passWindowLine(const AppState& state, int level);

/// The current student's counted runs and points over all loaded runs: "12回/345点", or
/// "------" without a counted run.
std::string totalsLine(const AppState& state, int level);

/// The current student's counted runs and points today: "3回/40点", or "-----" without a
/// counted run today.
std::string todayLine(const AppState& state, int level);

/// The start button's caption, "ｽﾀｰﾄ(&" + level + ")": Alt with the digit starts the level.
std::string startCaption(int level);

}  // namespace gaisan

#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/AppState.h"
#include "platform/Clock.h"
#include "rules/menu/LevelAvailability.h"
#include "rules/menu/LevelMenu.h"
#include "rules/student/FinishDecisions.h"
#include "rules/student/NameList.h"
#include "rules/student/StudentSession.h"

namespace gaisan {

// The screens of a visit as the pages receive them: every figure and text from the rules that
// decide them, so that the pages only lay them out.

nlohmann::json codeTexts(const ProgramProfile& profile);
nlohmann::json namesTexts();
nlohmann::json menuTexts();
nlohmann::json drillTexts();
nlohmann::json finishTexts();

nlohmann::json namesScreenJson(const std::string& title, const std::string& band,
                               FigureMode figures, const NameList& list);
/// The level menu of the logged-in student, ranked by total points as the menu opens.
nlohmann::json menuScreenJson(LevelMenu& menu, const LevelAvailability& availability);
/// The run in progress; `ended` once its end has begun.
nlohmann::json drillScreenJson(StudentSession& session, const AppState& state, bool ended);
nlohmann::json finishScreenJson(const FinishScreen& screen, const RetryChoice& retry);

/// The addresses the pages fetch the numbered sounds from.
nlohmann::json soundAddresses(const std::vector<int>& sounds);

}  // namespace gaisan

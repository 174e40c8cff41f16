#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/CountTables.h"
#include "base/CriteriaTable.h"
#include "base/DataLocations.h"
#include "base/LoadedRecords.h"
#include "base/ProgramProfile.h"
#include "base/RosterTables.h"
#include "base/RunState.h"
#include "base/SeasonColour.h"
#include "base/SoundTable.h"

namespace gaisan {

/// The school's settings from "共通データ.txt".
struct CommonConfiguration {
    int YearChangeMonth = 0;  ///< the month in which the school year begins
    std::string SchoolName;
    std::optional<std::string> SchoolCode;  ///< five digits; unset when the name carries none
    double RosterOption = 0;                ///< 1: list the roster entries flagged 2 as well
};

/// Who is working and on what.
struct Login {
    std::string StudentName;
    int StudentIndex = 0;
    std::string StudentGradeLabel;
    int CurrentLevel = 0;
    std::int32_t LoginTime = 0;  ///< whole seconds since midnight at login
    int TodayRunTotal = 0;
};

/// What the level menu keeps for as long as the program runs, across its visits.
struct MenuChoices {
    int FirstColumn = 0;   ///< the level in the leftmost column; 0 until the menu first shows
    int PeriodChoice = 3;  ///< the period box's choice, 1..5 (menu/Periods.h)
    int PeriodDays = 0;    ///< the days the last run list reached back
};

/// Everything the screens share. One instance lives for the whole process and is passed by
/// reference to every window and every routine that needs it; a screen sets what the next one
/// reads and then opens it.
struct AppState {
    AppState() = default;
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    ProgramProfile profile;
    DataLocations locations;
    CommonConfiguration common;
    Colour SeasonColour = 0;
    CriteriaTable criteria;
    RosterTables roster;
    CountTables counts;
    LoadedRecords records;  ///< the newest records of the results file, from the last count
    Login login;
    MenuChoices menu;
    RunState run;
    SoundTable sounds;
    int SoundFailures = 0;  ///< consecutive failed plays of the correct and wrong cues
};

}  // namespace gaisan

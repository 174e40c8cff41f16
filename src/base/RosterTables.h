#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/IndexedTables.h"

namespace gaisan {

/// One entry of "新名簿.txt", in file order; the three texts are held as exactly 20 characters.
struct RosterEntry {
    std::int16_t StudentIndex = 0;
    std::int16_t RosterYear = 0;  ///< the school year in which the student was 6
    std::int16_t Unused3 = 0;
    std::int16_t Unused4 = 0;
    std::string Name;
    std::int16_t ListFlag = 0;  ///< 0 listed; 2 listed when the roster option is 1; else not
    std::string Unused7;
    std::string Unused8;
};

/// The roster as the screens use it: per student, and per position in the name list.
struct RosterTables {
    PerStudent<std::string> RosterNames{};
    PerStudent<std::int16_t> RosterYear{};
    PerStudent<std::string> RosterGradeLabels{};
    /// Listed entries by list position 1..5000; slot 0 unused.
    std::vector<RosterEntry> RosterEntries = std::vector<RosterEntry>(kStudentSlots);
    PerStudent<std::int16_t> RosterList{};
    int RosterListCount = 0;
    int SchoolYear = 0;
    std::string SelectedGradeBand = "全学年";
};

}  // namespace gaisan

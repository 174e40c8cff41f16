#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/RosterTables.h"
#include "platform/Calendar.h"
#include "platform/Expected.h"

namespace gaisan {

/// Every text of a roster entry is held as exactly this many characters (not bytes).
inline constexpr int kRosterTextLength = 20;

/// School year of `today`: its calendar year, minus 1 before the year-change month. With month 4,
/// 31 March 2024 is in school year 2023 and 1 April 2024 in 2024.
int schoolYearOf(const CivilDate& today, int yearChangeMonth);

/// GradeNumber: schoolYear − rosterYear − 6 (1..6 elementary, 7..9 junior high, 10..12 senior
/// high, ≤0 pre-school, ≥13 beyond school). The month correction lies in the school year alone,
/// so a roster never needs editing when the school year changes.
int GradeNumber(int schoolYear, int rosterYear);

/// "幼３","小１".."小６","中１".."中３","高１" (full-width digits) for 0..10; nothing otherwise.
std::optional<std::string> gradeLabelOf(int gradeNumber);

/// GradePrefix, the two characters that open a row of the name list: "幼-" (≤−3), "幼1" (−2),
/// "幼2" (−1), "幼3" (0), "小1".."小6", "中1".."中3", "高1".."高3", "大+" (≥13); half-width digits.
std::string GradePrefix(int gradeNumber);

/// Whether `prefix` is one of the pre-school prefixes "幼-", "幼1", "幼2", "幼3".
bool isPreSchoolPrefix(std::string_view prefix);

/// The band names in the order the band boxes offer them: "全学年","中学生全体","小学生全体",
/// "中３","中２","中１","小６",...,"小１".
const std::vector<std::string>& gradeBands();

/// Whether grade number g belongs to the band named `band`; a name that is no band admits nobody.
bool InGradeBand(int gradeNumber, std::string_view band);

/// The teacher's roster name: the name, without surrounding half-width spaces, is "先生".
bool isTeacherName(std::string_view rosterName);

/// Called for each listed entry, right after it is read, in file order, with its grade number.
using RosterRowBuilder = std::function<void(const RosterEntry& entry, int gradeNumber)>;

/// LoadRoster: works out the school year (stored in tables.SchoolYear), reads the whole roster
/// file, fills the tables and hands each listed entry to `rowBuilder` (which may be empty).
///
/// The file is a stream of items read in groups of eight whatever the line breaks; a blank line
/// where an entry would begin is skipped. An entry is listed when its ListFlag is 0, or 2 while
/// `rosterOption` is 1 (the entry keeps the flag as written). Every entry, listed or not, sets
/// its student's name and year, and its grade label when the grade number is 0..10; listed
/// entries fill RosterEntries and RosterList from position 1 without gaps, and RosterListCount.
/// Slots beyond the count and students no longer in the file keep their old values.
///
/// An entry whose student index lies outside 1..5000 is left out and the rest loads; the
/// returned sentences name each such line, for the teacher.
///
/// Fails, naming the line, when the file is missing, unreadable or malformed: it ends inside an
/// entry, a number item is not a whole number or does not fit 16 bits, or more than 5000 entries
/// are listed. The whole file is checked before anything is stored, so a
/// refused file leaves the tables as they were and the builder uncalled. An exception from the
/// builder itself passes through with the tables filled up to that entry.
Expected<std::vector<std::string>> LoadRoster(RosterTables& tables,
                                              const std::filesystem::path& rosterFile,
                                              const CivilDate& today, int yearChangeMonth,
                                              double rosterOption,
                                              const RosterRowBuilder& rowBuilder);

}  // namespace gaisan

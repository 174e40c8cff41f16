#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace gaisan {

struct AppState;

/// The one-character mark of a grade number in the list rows: "①".."⑥" for elementary grades
/// 1..6, "Ⅰ","Ⅱ","Ⅲ" for junior-high grades 7..9, a full-width space for anything else.
std::string GradeMark(int gradeNumber);

/// The mark a list row gives its student: "●" for the logged-in student, the grade mark for
/// anyone else.
std::string studentMark(const AppState& state, int student);

/// Whether the student's grade belongs to the band named `band` (a name of the band box).
bool studentInBand(const AppState& state, int student, std::string_view band);

/// The name with its padding removed, cut or filled with full-width spaces to five characters,
/// so that the columns after it line up.
std::string name5(std::string_view name);

/// The last `width` characters of `padding` + `text`: how the rows right-align a number. A text
/// longer than the width keeps its last characters, and a padding shorter than the width leaves
/// a short text short.
std::string lastOfPadded(std::string_view padding, std::string_view text, std::size_t width);

/// `text` after as many half-width spaces as make it `width` characters: how the run lists
/// right-align a time. A longer text is kept whole and pushes the rest of its row to the right,
/// since a time shown without its first digits reads as another time.
std::string rightAlignedWhole(std::string_view text, std::size_t width);

}  // namespace gaisan

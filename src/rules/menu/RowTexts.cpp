#include "rules/menu/RowTexts.h"

#include <array>

#include "base/AppState.h"
#include "platform/Utf8.h"
#include "stores/roster/Roster.h"

namespace gaisan {
namespace {

constexpr const char* kFullWidthSpace = "　";

int gradeOf(const AppState& state, int student) {
    return GradeNumber(state.roster.SchoolYear, state.roster.RosterYear.at(student));
}

}  // namespace

std::string GradeMark(int gradeNumber) {
    static const std::array<const char*, 10> marks = {"",  "①", "②", "③", "④",
                                                      "⑤", "⑥", "Ⅰ", "Ⅱ", "Ⅲ"};
    if (gradeNumber < 1 || gradeNumber > 9) return kFullWidthSpace;
    return marks[gradeNumber];
}

std::string studentMark(const AppState& state, int student) {
    if (student == state.login.StudentIndex) return "●";
    return GradeMark(gradeOf(state, student));
}

bool studentInBand(const AppState& state, int student, std::string_view band) {
    return InGradeBand(gradeOf(state, student), band);
}

std::string name5(std::string_view name) {
    std::string padded(name.substr(0, name.find_last_not_of(' ') + 1));
    for (int i = 0; i < 6; ++i) padded += kFullWidthSpace;
    return std::string(leftCharacters(padded, 5));
}

std::string lastOfPadded(std::string_view padding, std::string_view text, std::size_t width) {
    std::string padded(padding);
    padded += text;
    return std::string(lastCharacters(padded, width));
}

std::string rightAlignedWhole(std::string_view text, std::size_t width) {
    const std::size_t length = characterCount(text);
    return std::string(length < width ? width - length : 0, ' ') + std::string(text);
}

}  // namespace gaisan

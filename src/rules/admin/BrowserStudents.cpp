#include "rules/admin/BrowserStudents.h"

#include "base/RosterTables.h"
#include "platform/Utf8.h"
#include "stores/roster/Roster.h"

namespace gaisan {
namespace {

const std::string kNone;

}  // namespace

std::unique_ptr<BrowserStudents> BrowserStudents::of(const RosterTables& roster) {
    auto students = std::make_unique<BrowserStudents>();
    for (int student = 1; student <= kHighestStudent; ++student) {
        // A loaded entry's name is always padded to 20 characters; a student without an entry
        // keeps the empty name of fresh tables.
        if (roster.RosterNames.at(student).empty()) continue;
        students->inRoster.at(student) = true;
        students->BrowserStudentName.at(student) =
            std::string(trimSpaces(roster.RosterNames.at(student)));
        students->BrowserGradeLabel.at(student) =
            gradeLabelOf(GradeNumber(roster.SchoolYear, roster.RosterYear.at(student)))
                .value_or("");
    }
    for (int position = 1; position <= roster.RosterListCount; ++position) {
        const int student = roster.RosterEntries.at(position).StudentIndex;
        students->chooserItems.push_back(std::to_string(student) + " /  " +
                                         students->name(student));
    }
    return students;
}

const std::string& BrowserStudents::gradeLabel(int student) const {
    return isStudentSlot(student) ? BrowserGradeLabel.at(student) : kNone;
}

const std::string& BrowserStudents::name(int student) const {
    return isStudentSlot(student) ? BrowserStudentName.at(student) : kNone;
}

}  // namespace gaisan

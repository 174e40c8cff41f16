#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/IndexedTables.h"
#include "platform/Calendar.h"

namespace gaisan {

struct RosterTables;

/// The records browser's view of the roster, rebuilt from the roster file at every refresh of its
/// list: each student's trimmed name and grade label, and the items of the student chooser.
struct BrowserStudents {
    PerStudent<std::string> BrowserStudentName{};
    PerStudent<std::string> BrowserGradeLabel{};
    /// Whether the roster has an entry for the student, listed or not.
    PerStudent<bool> inRoster{};
    /// "12 /  佐藤　陽菜": the student number, " /  " and the name, one per listed roster entry
    /// in roster order.
    std::vector<std::string> chooserItems;

    /// The students of `roster`, freshly loaded: every entry (listed or not) defines its student;
    /// the grade label follows the grade number of the school year the tables were loaded for.
    static std::unique_ptr<BrowserStudents> of(const RosterTables& roster);

    /// The grade label of student `student`; empty for a number outside 0..5000.
    const std::string& gradeLabel(int student) const;
    /// The trimmed name of student `student`; empty for a number outside 0..5000.
    const std::string& name(int student) const;
};

}  // namespace gaisan

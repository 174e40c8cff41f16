#include "rules/admin/RecordLine.h"

#include <algorithm>
#include <cmath>

#include "platform/Calendar.h"
#include "platform/Numbers.h"
#include "platform/Utf8.h"
#include "rules/admin/BrowserStudents.h"
#include "rules/menu/RowTexts.h"
#include "rules/menu/RunRows.h"

namespace gaisan {
namespace {

/// `text` right-aligned in `width` characters: padded with spaces on the left, cut to its last
/// characters.
std::string rightAligned(const std::string& text, std::size_t width) {
    return lastOfPadded(std::string(width, ' '), text, width);
}

std::string trimmedRight(const std::string& text) {
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

}  // namespace

std::size_t recordNumberWidth(std::uint64_t lastRecord) {
    return std::max<std::size_t>(4, std::to_string(lastRecord).size());
}

std::string shortDateText(double date) {
    static const int firstDay = daySerial({1900, 1, 1});
    static const int lastDay = daySerial({9999, 12, 31});
    if (!std::isfinite(date) || date != std::floor(date) || date < firstDay || date > lastDay) {
        return shortestText(date);
    }
    return fullDate(date);
}

std::string recordClockText(double clock) {
    if (!std::isfinite(clock) || clock < 0 || clock >= 1) return shortestText(clock);
    return runClockText(clock);
}

std::string recordLine(std::uint64_t number, std::size_t numberWidth, const ResultRecord& record,
                       const BrowserStudents& students,
                       const std::optional<std::string>& schoolCode,
                       const std::string& schoolName) {
    const int student = record.StudentIndex;
    const bool ourSchool =
        schoolCode && trimmedRight(record.SchoolCode) == trimmedRight(*schoolCode);
    return rightAligned(std::to_string(number), numberWidth) + " " +
           shortDateText(record.RecordDate) + "　" +
           rightAligned(recordClockText(record.RecordClock), 9) + "ﾚﾍﾞﾙ" +
           std::to_string(record.LevelIndex) + "　" +
           rightAligned(std::to_string(record.ResultSeconds), 5) + "秒 　" +
           rightAligned(std::to_string(student), 4) + " " +
           std::string(leftCharacters(students.name(student) + "　　　　　", 6)) + " " +
           students.gradeLabel(student) + "++" + (ourSchool ? schoolName : "他塾");
}

}  // namespace gaisan

#include "rules/student/StudentScreenTexts.h"

namespace gaisan {

std::string minutesSinceLogInText(int minutes) {
    return std::string(kSinceLogInCaption) + std::to_string(minutes) + std::string(kMinutesCaption);
}

std::string todayRunsText(int runs) { return "本日総回数＝" + std::to_string(runs) + "回"; }

std::string studentSchoolText(int student, std::string_view schoolName) {
    return std::to_string(student) + ":" + std::string(schoolName);
}

}  // namespace gaisan

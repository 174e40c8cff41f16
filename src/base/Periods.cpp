#include "base/Periods.h"

#include <stdexcept>

namespace gaisan {

int PeriodDays(Period period, const CivilDate& today) {
    // Days since Monday, Monday itself counting 1 and Sunday 7.
    const int weekdayFromSunday = weekdayOf(today);
    const int daysOfThisWeek = weekdayFromSunday == 0 ? 7 : weekdayFromSunday;
    switch (period) {
        case Period::ThisWeek:
            return daysOfThisWeek;
        case Period::SinceLastWeek:
            return daysOfThisWeek + 7;
        case Period::Month:
            return 30;
        case Period::Year:
            return 365;
        case Period::All:
            return 3650;
    }
    throw std::invalid_argument("no period " + std::to_string(static_cast<int>(period)));
}

bool inPeriod(double recordDate, const CivilDate& today, int periodDays) {
    return recordDate > daySerial(today) - periodDays;
}

std::string_view periodName(Period period) {
    switch (period) {
        case Period::ThisWeek:
            return "今週";
        case Period::SinceLastWeek:
            return "先週から";
        case Period::Month:
            return "１ヶ月間";
        case Period::Year:
            return "１年間";
        case Period::All:
            return "今まで";
    }
    return "";
}

}  // namespace gaisan

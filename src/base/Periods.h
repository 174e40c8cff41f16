#pragma once

#include <string_view>

#include "platform/Calendar.h"

namespace gaisan {

/// The periods of the level menu's period box, numbered as the box lists them (PeriodChoice).
enum class Period {
    ThisWeek = 1,   ///< "今週": from this week's Monday
    SinceLastWeek,  ///< "先週から": from last week's Monday
    Month,          ///< "１ヶ月間": the last 30 days
    Year,           ///< "１年間": the last 365 days
    All,            ///< "今まで": the last 3650 days
};

/// The period's name as the period box shows it: "今週", "先週から", "１ヶ月間", "１年間",
/// "今まで".
std::string_view periodName(Period period);

/// PeriodDays: how many days, today included, the period reaches back from `today`. Weeks begin
/// on Monday: on a Monday this week is that day alone, on a Sunday the seven days from Monday.
int PeriodDays(Period period, const CivilDate& today);

/// Whether a record dated `recordDate` (a day serial) lies in the `periodDays` days that end
/// today: after today − periodDays.
bool inPeriod(double recordDate, const CivilDate& today, int periodDays);

}  // namespace gaisan

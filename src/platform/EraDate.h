#pragma once

#include <string>

#include "platform/Calendar.h"

namespace gaisan {

/// A date in the Japanese era calendar with the short weekday, as the splash window shows it:
/// "令和8年 12月 10日（木）". The first year of an era is written 元年, as Japanese calendars do.
std::string japaneseEraDate(const CivilDate& date);

}  // namespace gaisan

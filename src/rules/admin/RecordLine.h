#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/ResultRecord.h"

namespace gaisan {

struct BrowserStudents;

/// The records browser's line of record `number`, pieces joined without separators: the number
/// right-aligned in `numberWidth` characters, " ", the date as short date text, "　", the clock
/// right-aligned in 9 characters, "ﾚﾍﾞﾙ" and the level, "　", the seconds right-aligned in 5, "秒
/// ", "　", the student right-aligned in 4, " ", the name filled with full-width spaces and cut to
/// 6 characters, " ", the grade label, and "++" with the school name when the record's school code
/// is this installation's, else "++他塾" (always so when the installation has no code).
std::string recordLine(std::uint64_t number, std::size_t numberWidth, const ResultRecord& record,
                       const BrowserStudents& students,
                       const std::optional<std::string>& schoolCode, const std::string& schoolName);

/// The characters the record numbers of a list take: 4, and more only once the last number needs
/// them, so that the lines, which a list orders by their text, stay in record order.
std::size_t recordNumberWidth(std::uint64_t lastRecord);

/// A day serial as short date text, "2026/12/10"; a date that is no day of the years 1900 to 9999
/// as its raw number.
std::string shortDateText(double date);

/// A clock (a fraction of a day) as time-of-day text, "9:05:03" (runClockText); a clock outside
/// one day as its raw number.
std::string recordClockText(double clock);

}  // namespace gaisan

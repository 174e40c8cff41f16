#pragma once

#include <string>

#include "platform/Calendar.h"
#include "platform/Clock.h"

namespace gaisan {

// Every date and clock the program writes, in one place, so that a file name, a log line, a
// spreadsheet cell and a screen agree on how a day and a time are spelt.

/// A record's date (a day serial) as YYYY-MM-DD, or its raw number when it is no day number.
std::string dateText(double serial);

/// A record's clock (a fraction of a day) as HH:MM:SS, or its raw number when it is no time of
/// day.
std::string clockText(double fraction);

/// "2026-12-10": a day in file names and logs, which sort by it.
std::string isoDateText(const CivilDate& day);

/// "2026-12-10 14:05:12": a moment in the logs a technician reads.
std::string isoDateTimeText(const CivilDate& day, int secondsOfDay);

/// "2026-12-10-140512": a moment in a file name, which may hold no colon.
std::string fileNameStampText(const LocalDateTime& moment);

/// "2026/12/10": a day on the screens and the printed lists.
std::string slashDateText(const CivilDate& day);

/// "9:05:12": a time of day on the screens' run lists, the hour unpadded.
std::string timeOfDayText(int secondsOfDay);

}  // namespace gaisan

#include "base/DateTexts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "platform/Calendar.h"

namespace gaisan {
namespace {

std::string twoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

}  // namespace

std::string dateText(double serial) {
    if (!std::isfinite(serial) || serial != std::floor(serial) || std::abs(serial) > 3e6) {
        std::ostringstream raw;
        raw << serial;
        return raw.str();
    }
    return isoDateText(dateOfSerial(static_cast<int>(serial)));
}

std::string clockText(double fraction) {
    if (!std::isfinite(fraction) || fraction < 0 || fraction >= 1) {
        std::ostringstream raw;
        raw << fraction;
        return raw.str();
    }
    const int seconds = std::min(86399, static_cast<int>(std::lround(fraction * 86400)));
    return twoDigits(seconds / 3600) + ":" + twoDigits(seconds / 60 % 60) + ":" +
           twoDigits(seconds % 60);
}

std::string isoDateText(const CivilDate& day) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

std::string isoDateTimeText(const CivilDate& day, int secondsOfDay) {
    return isoDateText(day) + " " + twoDigits(secondsOfDay / 3600) + ":" +
           twoDigits(secondsOfDay / 60 % 60) + ":" + twoDigits(secondsOfDay % 60);
}

std::string fileNameStampText(const LocalDateTime& moment) {
    const int seconds = static_cast<int>(std::floor(moment.secondsSinceMidnight));
    return isoDateText(moment.date) + "-" + twoDigits(seconds / 3600) +
           twoDigits(seconds / 60 % 60) + twoDigits(seconds % 60);
}

std::string slashDateText(const CivilDate& day) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", day.year, day.month, day.day);
    return text;
}

std::string timeOfDayText(int secondsOfDay) {
    return std::to_string(secondsOfDay / 3600) + ":" + twoDigits(secondsOfDay / 60 % 60) + ":" +
           twoDigits(secondsOfDay % 60);
}

}  // namespace gaisan

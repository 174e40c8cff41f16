#include "platform/Calendar.h"

#include <chrono>

namespace gaisan {
namespace {

constexpr std::chrono::sys_days kSerialEpoch = std::chrono::year{1899} / 12 / 30;

std::chrono::sys_days toSysDays(const CivilDate& date) {
    return std::chrono::year{date.year} / std::chrono::month{static_cast<unsigned>(date.month)} /
           std::chrono::day{static_cast<unsigned>(date.day)};
}

}  // namespace

int daySerial(const CivilDate& date) {
    return static_cast<int>((toSysDays(date) - kSerialEpoch).count());
}

CivilDate dateOfSerial(int serial) {
    const std::chrono::year_month_day ymd{kSerialEpoch + std::chrono::days{serial}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

int weekdayOf(const CivilDate& date) {
    return static_cast<int>(std::chrono::weekday{toSysDays(date)}.c_encoding());
}

int mondayOf(int day) {
    // Day serial 2, 1 January 1900, was a Monday.
    return day - ((day - 2) % 7 + 7) % 7;
}

}  // namespace gaisan

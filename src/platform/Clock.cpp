#include "platform/Clock.h"

#include <chrono>
#include <ctime>

namespace gaisan {

LocalDateTime SystemClock::now() const {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    localtime_r(&now.tv_sec, &local);
    LocalDateTime result;
    result.date = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    result.secondsSinceMidnight =
        local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_nsec / 1e9;
    return result;
}

std::int64_t SystemClock::tickMilliseconds() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace gaisan

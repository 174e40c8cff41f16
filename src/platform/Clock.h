#pragma once

#include <cstdint>

#include "platform/Calendar.h"

namespace gaisan {

/// The local date and time of day as the program uses them.
struct LocalDateTime {
    CivilDate date;
    double secondsSinceMidnight = 0;  ///< with fractions
};

/// Where the program gets the time from; tests pass a fake.
class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
    /// A monotonic millisecond count, unaffected by midnight and by changes of the wall clock;
    /// only differences between two readings mean anything.
    virtual std::int64_t tickMilliseconds() const = 0;
};

/// The machine's local time and its monotonic clock.
class SystemClock final : public Clock {
public:
    LocalDateTime now() const override;
    std::int64_t tickMilliseconds() const override;
};

}  // namespace gaisan

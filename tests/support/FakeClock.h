#pragma once

#include "platform/Calendar.h"
#include "platform/Clock.h"

namespace gaisan::testing {

/// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(CivilDate date = {2026, 12, 10}, double secondsSinceMidnight = 9 * 3600.0)
        : m_now{date, secondsSinceMidnight} {}

    LocalDateTime now() const override { return m_now; }
    /// Moves on by the tick step at every reading, so that code waiting on the tick finishes.
    std::int64_t tickMilliseconds() const override { return m_tick += m_tickStep; }

    void setTickStep(std::int64_t milliseconds) { m_tickStep = milliseconds; }
    void advanceDays(int days) { m_now.date = dateOfSerial(daySerial(m_now.date) + days); }
    void advanceSeconds(double seconds) {
        m_now.secondsSinceMidnight += seconds;
        m_tick += static_cast<std::int64_t>(seconds * 1000);
    }

private:
    LocalDateTime m_now;
    mutable std::int64_t m_tick = 1'000'000;
    std::int64_t m_tickStep = 0;
};

}  // namespace gaisan::testing

#include "kit/ResponsiveWait.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdint>

#include "platform/Clock.h"

namespace gaisan {

void waitResponsively(const Clock& clock, int seconds) {
    const std::int64_t until = clock.tickMilliseconds() + std::int64_t{seconds} * 1000;
    while (clock.tickMilliseconds() < until) {
        QCoreApplication::processEvents();
        // Short naps: a key pressed meanwhile is handled within a few milliseconds.
        QThread::msleep(2);
    }
}

}  // namespace gaisan

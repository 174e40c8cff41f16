#include "platform/RandomSource.h"

#include <cmath>
#include <cstdint>

namespace gaisan {

double SystemRandom::uniform() { return std::generate_canonical<double, 53>(m_engine); }

void SystemRandom::seedFromTimeOfDay(double secondsSinceMidnight) {
    // Microseconds, so that seeds taken a few milliseconds apart still differ.
    m_engine.seed(static_cast<std::uint64_t>(std::llround(secondsSinceMidnight * 1e6)));
}

}  // namespace gaisan

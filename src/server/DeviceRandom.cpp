#include "server/DeviceRandom.h"

#include <cstdint>

namespace gaisan {

double DeviceRandom::uniform() { return std::generate_canonical<double, 53>(m_engine); }

void DeviceRandom::seedFromTimeOfDay(double secondsSinceMidnight) {
    std::seed_seq seed{static_cast<std::uint32_t>(secondsSinceMidnight * 1000), m_system(),
                       m_system()};
    m_engine.seed(seed);
}

}  // namespace gaisan

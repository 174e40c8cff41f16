#pragma once

#include <random>

#include "platform/RandomSource.h"

namespace gaisan {

/// The random numbers of the browser server. A desktop machine reseeds from its time of day at
/// each run, and two machines seldom start a run in the same instant; the server starts the runs
/// of a whole class, often in the same second, so each reseed mixes in the system's own
/// randomness and children side by side do not see the same problems.
class DeviceRandom final : public RandomSource {
public:
    double uniform() override;
    void seedFromTimeOfDay(double secondsSinceMidnight) override;

private:
    std::random_device m_system;
    std::mt19937_64 m_engine{std::random_device{}()};
};

}  // namespace gaisan

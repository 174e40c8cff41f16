#pragma once

#include <random>

namespace gaisan {

/// Uniform random numbers in [0, 1); tests pass a scripted source.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double uniform() = 0;
    /// Starts a new sequence from the time of day, the way the program reseeds at start-up and
    /// at each run, so that two machines started together still draw differently soon after.
    virtual void seedFromTimeOfDay(double secondsSinceMidnight) = 0;
};

class SystemRandom final : public RandomSource {
public:
    double uniform() override;
    void seedFromTimeOfDay(double secondsSinceMidnight) override;

private:
    std::mt19937_64 m_engine;
};

}  // namespace gaisan

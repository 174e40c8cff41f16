#pragma once

#include <cstddef>
#include <stdexcept>
#include <vector>

#include "platform/RandomSource.h"

namespace gaisan::testing {

/// Gives back the numbers it was given, in order, and fails the test when they run out.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<double> values) : m_values(std::move(values)) {}

    double uniform() override {
        if (m_next == m_values.size()) throw std::logic_error("scripted random numbers ran out");
        return m_values[m_next++];
    }
    void seedFromTimeOfDay(double seconds) override { m_seed = seconds; }

    std::size_t used() const { return m_next; }
    double seed() const { return m_seed; }

private:
    std::vector<double> m_values;
    std::size_t m_next = 0;
    double m_seed = -1;
};

}  // namespace gaisan::testing

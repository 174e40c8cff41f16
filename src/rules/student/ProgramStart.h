#pragma once

#include <string>

#include "base/AppState.h"
#include "platform/Clock.h"
#include "platform/RandomSource.h"

namespace gaisan {

/// What the splash window shows as the program starts.
struct ProgramStart {
    std::string eraDate;      ///< today in the Japanese calendar, "令和8年12月11日"
    Colour seasonColour = 0;  ///< the screens' background for this month
};

/// The program starts today: the random numbers begin a fresh sequence, and the screens take
/// this month's season colour.
ProgramStart startProgram(AppState& state, const Clock& clock, RandomSource& random);

}  // namespace gaisan

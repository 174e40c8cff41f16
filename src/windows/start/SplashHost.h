#pragma once

namespace gaisan {

struct AppState;
class Clock;
class RandomSource;

/// What the splash window needs of the program around it: the shared state, the clock and the
/// random numbers it seeds, and the start-up to continue once it has been painted. The screen
/// flow provides it; a window test may provide its own.
class SplashHost {
public:
    virtual ~SplashHost() = default;

    virtual AppState& state() = 0;
    virtual const Clock& clock() const = 0;
    virtual RandomSource& random() = 0;
    /// Loads the configuration and opens the first working screen.
    virtual void ContinueStartup() = 0;
};

}  // namespace gaisan

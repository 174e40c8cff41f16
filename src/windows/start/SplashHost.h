#pragma once

namespace gaisan {

struct ProgramStart;

/// What the splash window needs of the program around it: the program's start, which it shows,
/// and the start-up to continue once it has been painted. The screen flow provides it; a window
/// test may provide its own.
class SplashHost {
public:
    virtual ~SplashHost() = default;

    /// The program starts: today's date and the season's colour, for the splash to show.
    virtual ProgramStart startProgram() = 0;
    /// Loads the configuration and opens the first working screen.
    virtual void ContinueStartup() = 0;
};

}  // namespace gaisan

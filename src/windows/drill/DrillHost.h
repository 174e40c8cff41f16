#pragma once

namespace gaisan {

struct AppState;
class Clock;
class CuePlayer;
class RandomSource;

/// What the drill screen needs of the program around it: the shared state, the clock, the
/// random numbers of the problems, the cues, the record of the finished run, the wait window,
/// a wait that keeps the windows responsive, and the finish screen. The screen flow provides
/// it; a window test provides its own, so that a run can be worked without logging in.
class DrillHost {
public:
    virtual ~DrillHost() = default;

    virtual AppState& state() = 0;
    virtual const Clock& clock() const = 0;
    virtual RandomSource& random() = 0;
    virtual CuePlayer& cues() = 0;
    /// Evaluates and records the run just finished on `level`; false when the results file
    /// failed and the program is ending.
    [[nodiscard]] virtual bool recordRunResult(int level) = 0;
    /// The wait window, shown while the screen changes; the next screen's opening closes it.
    virtual void showWaitWindow() = 0;
    /// Waits `seconds` while the windows stay responsive.
    virtual void waitResponsively(int seconds) = 0;
    /// A request: the drill screen unloads and the finish screen opens.
    virtual void showFinishScreen() = 0;
};

}  // namespace gaisan

#pragma once

namespace gaisan {

struct Failure;
class StudentSession;

/// What the drill screen needs of the program around it: the student's session, whose run it
/// shows, the end of the program when the run cannot be recorded, the wait window, a wait that
/// keeps the windows responsive, and the finish screen. The screen flow provides it; a window
/// test provides its own, so that a run can be worked without logging in.
class DrillHost {
public:
    virtual ~DrillHost() = default;

    virtual StudentSession& session() = 0;
    /// The results file failed: the program ends with its message.
    virtual void endWithFailure(const Failure& failure) = 0;
    /// The wait window, shown while the screen changes; the next screen's opening closes it.
    virtual void showWaitWindow() = 0;
    /// Waits `seconds` while the windows stay responsive.
    virtual void waitResponsively(int seconds) = 0;
    /// A request: the drill screen unloads and the finish screen opens.
    virtual void showFinishScreen() = 0;
};

}  // namespace gaisan

#pragma once

namespace gaisan {

struct Failure;
class StudentSession;

/// What the finish screen needs of the program around it: the student's session, whose run it
/// shows, the end of the program when the results cannot be recounted, the wait window, and the
/// two ways on. Each way on is a request; the host opens the next screen and unloads this one.
/// The screen flow provides it; a window test provides its own, so that the screen can be shown
/// for any run without working one.
class FinishHost {
public:
    virtual ~FinishHost() = default;

    virtual StudentSession& session() = 0;
    /// The results file failed: the program ends with its message.
    virtual void endWithFailure(const Failure& failure) = 0;
    /// The wait window, shown while the screen changes; the next screen's opening closes it.
    virtual void showWaitWindow() = 0;
    /// "メニューへ": a fresh level menu.
    virtual void showMenu() = 0;
    /// "もう一度": a run of the same level.
    virtual void runAgain() = 0;
};

}  // namespace gaisan

#pragma once

class QWidget;

namespace gaisan {

class Installation;
class Clock;
class MessageBoxes;

/// What the teacher's administration screens need of the program around them: the installation,
/// the clock, the message boxes, a wait that keeps the windows responsive while another machine
/// holds the results file, and the way back. The screen flow provides it; a window test provides
/// its own, so that a screen can be tried alone.
class AdminFlow {
public:
    virtual ~AdminFlow() = default;

    /// The installation the screen shows and changes.
    virtual Installation& installation() = 0;
    virtual const Clock& clock() const = 0;
    virtual MessageBoxes& boxes() = 0;
    /// Waits `seconds` while the windows stay responsive.
    virtual void waitResponsively(int seconds) = 0;
    /// Leaves the administration screen for a fresh level menu; the screen is closed.
    virtual void backToMenu() = 0;
};

}  // namespace gaisan

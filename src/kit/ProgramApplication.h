#pragma once

#include <QApplication>

namespace gaisan {

class MessageBoxes;

/// Gives the running application the program's font and language. The program calls it once its
/// application exists, and every window test does too, so that the tests see what a teacher sees.
void setUpApplication();

/// The program's application object. An exception that escapes an event handler (memory running
/// out, a file failing in a way no screen expected) is caught here, at the top of every event,
/// shown in a message box and ends the program, instead of aborting it with nothing on screen.
class ProgramApplication final : public QApplication {
public:
    ProgramApplication(int& argc, char** argv, MessageBoxes& boxes);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    MessageBoxes& m_boxes;
};

}  // namespace gaisan

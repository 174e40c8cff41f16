#include "app/windows/ProgramApplication.h"

#include <cstdlib>

#include "app/windows/MessageBoxes.h"
#include "app/windows/UnexpectedError.h"

namespace gaisan {

ProgramApplication::ProgramApplication(int& argc, char** argv, MessageBoxes& boxes)
    : QApplication(argc, argv), m_boxes(boxes) {}

bool ProgramApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // The screen that threw is in no state to go on; every file is closed between
        // operations, so ending here loses nothing.
        m_boxes.inform(nullptr, QStringLiteral("エラー"), unexpectedErrorText());
        std::exit(1);
    }
}

}  // namespace gaisan

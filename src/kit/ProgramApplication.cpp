#include "kit/ProgramApplication.h"

#include <QtGlobal>

#include <cstdlib>

#include "kit/MessageBoxes.h"
#include "kit/ProgramFont.h"
#include "kit/ProgramLanguage.h"
#include "kit/UnexpectedError.h"

namespace gaisan {

void setUpApplication() {
    applyProgramFont();
    if (!applyProgramLanguage()) {
        qWarning(
            "Qt's Japanese translations (package qt6-translations-l10n) are missing: the "
            "standard dialogs will be in English.");
    }
}

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

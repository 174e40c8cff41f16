#include <cstdlib>
#include <memory>

#include "base/AppState.h"
#include "kit/MessageBoxes.h"
#include "kit/ProgramApplication.h"
#include "kit/UnexpectedError.h"
#include "navigator/ScreenFlow.h"
#include "platform/Clock.h"
#include "platform/ProcessLauncher.h"
#include "platform/PulseSoundPlayer.h"
#include "platform/RandomSource.h"

int main(int argc, char* argv[]) {
    gaisan::QtMessageBoxes boxes;
    gaisan::ProgramApplication application(argc, argv, boxes);
    try {
        gaisan::setUpApplication();
        // The screens follow one another by the program's own order, and in between no window
        // may be visible; the program ends when the flow says so.
        QApplication::setQuitOnLastWindowClosed(false);

        auto state = std::make_unique<gaisan::AppState>();
        gaisan::SystemClock clock;
        gaisan::SystemRandom random;
        gaisan::PulseSoundPlayer player;
        gaisan::ProcessLauncher launcher;
        gaisan::ScreenFlow flow(*state, clock, random, boxes, player, launcher,
                                QCoreApplication::applicationDirPath().toStdString());
        // The program ends at once, from wherever it is: after handing over to the launcher,
        // and after a message that it cannot go on, nothing more may run. Every file is closed
        // between operations, so nothing is lost.
        QObject::connect(&flow, &gaisan::ScreenFlow::programEnded,
                         [](int exitCode) { std::exit(exitCode); });
        flow.start();
        return QApplication::exec();
    } catch (...) {
        // Errors outside any event (setting up before the first screen) end here.
        boxes.inform(nullptr, QStringLiteral("エラー"), gaisan::unexpectedErrorText());
        return 1;
    }
}

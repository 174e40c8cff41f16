#include <QApplication>

#include <cstdlib>
#include <memory>

#include "app/AppState.h"
#include "app/MessageBoxes.h"
#include "app/ProgramFont.h"
#include "app/ScreenFlow.h"
#include "platform/Clock.h"
#include "platform/ProcessLauncher.h"
#include "platform/PulseSoundPlayer.h"
#include "platform/RandomSource.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    gaisan::applyProgramFont();
    // The screens follow one another by the program's own order, and in between no window may
    // be visible; the program ends when the flow says so.
    QApplication::setQuitOnLastWindowClosed(false);

    auto state = std::make_unique<gaisan::AppState>();
    gaisan::SystemClock clock;
    gaisan::SystemRandom random;
    gaisan::QtMessageBoxes boxes;
    gaisan::PulseSoundPlayer player;
    gaisan::ProcessLauncher launcher;
    gaisan::ScreenFlow flow(*state, clock, random, boxes, player, launcher,
                            QCoreApplication::applicationDirPath().toStdString());
    // The program ends at once, from wherever it is: after handing over to the launcher, and
    // after a message that it cannot go on, nothing more may run. Every file is closed between
    // operations, so nothing is lost.
    QObject::connect(&flow, &gaisan::ScreenFlow::programEnded, [](int exitCode) { std::exit(exitCode); });
    flow.start();
    return QApplication::exec();
}

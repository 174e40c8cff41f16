#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

#include <memory>

#include "base/AppState.h"
#include "navigator/ScreenFlow.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/ResultsFile.h"
#include "support/DemoSuite.h"
#include "support/FakeClock.h"
#include "support/RecordingLauncher.h"
#include "support/RecordingMessageBoxes.h"
#include "support/RecordingPlayer.h"
#include "support/ScriptedRandom.h"
#include "support/TempFolder.h"
#include "windows/drill/MainFrm.h"
#include "windows/menu/seisekitime1.h"
#include "windows/names/namesel.h"

namespace gaisan::testing {

/// A copy of the demo installation in a temporary folder, with the program's screen flow on a
/// fixed clock whose tick moves on by itself, random numbers that are all 0.5 (so every level-1
/// problem is 460 + 460), and recorders for message boxes, sounds and the launcher.
struct DemoInstallation {
    TempFolder suite;
    FakeClock clock{{2026, 12, 10}, 10 * 3600.0};
    ScriptedRandom random{std::vector<double>(5000, 0.5)};
    RecordingMessageBoxes boxes;
    RecordingPlayer player;
    RecordingLauncher launcher;
    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    std::unique_ptr<ScreenFlow> flow;

    DemoInstallation() {
        copyDemoSuite(suite);
        clock.setTickStep(5);
        // The splash, which the tests mostly skip, would have chosen December's colour.
        state->SeasonColour = seasonColourOfMonth(12);
        flow = std::make_unique<ScreenFlow>(*state, clock, random, boxes, player, launcher,
                                            suite / "gaisan");
    }
    std::filesystem::path resultsFile() const { return suite / "data/gaisan/成績累積データ.dat"; }
};

/// The visible top-level window of type Window, if any.
template <typename Window>
Window* shown() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

/// The key that types `c`: "\n" is the Enter key, a full-width character has no key of its own.
inline int keyOf(QChar c) {
    if (c == QLatin1Char('\n')) return Qt::Key_Return;
    if (c.unicode() < 128) return c.toUpper().unicode();
    return Qt::Key_unknown;
}

/// Types `keys` into `widget` as key presses carrying their text, full-width ones included.
inline void type(QWidget* widget, const QString& keys) {
    for (const QChar c : keys) {
        QKeyEvent press(QEvent::KeyPress, keyOf(c), Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

/// Queues `keys` for `widget` as a quick typist's presses that wait in the event queue, so that
/// a later one arrives while an earlier one's handler lets events run.
inline void queueKeys(QWidget* widget, const QString& keys) {
    for (const QChar c : keys) {
        QCoreApplication::postEvent(
            widget, new QKeyEvent(QEvent::KeyPress, keyOf(c), Qt::NoModifier, QString(c)));
    }
}

/// Queues a click on `widget`, a press and a release at its centre, as a child's click that
/// waits in the event queue while the program is busy.
inline void queueClick(QWidget* widget) {
    const QPointF centre = QRectF(widget->rect()).center();
    const QPointF global = widget->mapToGlobal(centre);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QCoreApplication::postEvent(
            widget, new QMouseEvent(type, centre, global, Qt::LeftButton, held, Qt::NoModifier));
    }
}

/// The program's visible top-level windows.
inline QList<QWidget*> visibleWindows() {
    QList<QWidget*> visible;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) visible.append(widget);
    }
    return visible;
}

inline QString labelText(QWidget* window, const QString& name) {
    return window->findChild<QLabel*>(name)->text();
}

inline bool isShown(QWidget* window, const QString& name) {
    return window->findChild<QWidget*>(name)->isVisible();
}

/// The row of the list that contains `text`, or -1.
inline int rowContaining(QListWidget* list, const QString& text) {
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text().contains(text)) return row;
    }
    return -1;
}

/// Logs in the student whose row of the name list contains `name` with "1", once the list is
/// shown: the level menu once it is ready, or nothing.
/// The start-up of `installation` continued to its name list, once the list shows.
inline namesel* openNames(DemoInstallation& installation) {
    installation.flow->ContinueStartup();
    return QTest::qWaitFor([] { return shown<namesel>() != nullptr; }) ? shown<namesel>() : nullptr;
}

/// The list of `window` named `name`.
inline QListWidget* listNamed(QWidget* window, const QString& name) {
    return window->findChild<QListWidget*>(name);
}

inline seisekitime1* chooseName(const QString& name) {
    if (!QTest::qWaitFor([] { return shown<namesel>() != nullptr; })) return nullptr;
    auto* list = shown<namesel>()->findChild<QListWidget*>(QStringLiteral("List1"));
    list->setCurrentRow(rowContaining(list, name));
    type(list, QStringLiteral("1"));
    if (!QTest::qWaitFor(
            [] { return shown<seisekitime1>() && shown<seisekitime1>()->menuReady(); })) {
        return nullptr;
    }
    return shown<seisekitime1>();
}

/// Opens the name list and logs in the student whose row contains `name`, as chooseName.
inline seisekitime1* logIn(DemoInstallation& installation, const QString& name) {
    installation.flow->ContinueStartup();
    return chooseName(name);
}

/// Logs in the student whose row contains `name` and starts level 1 with "1" in the level
/// menu: the drill screen of the run, or nothing.
inline MainFrm* logInAndStartLevel1(DemoInstallation& installation,
                                    const QString& name = QStringLiteral("佐藤")) {
    seisekitime1* menu = logIn(installation, name);
    if (!menu) return nullptr;
    type(menu, QStringLiteral("1"));
    return QTest::qWaitFor([] { return shown<MainFrm>() != nullptr; }) ? shown<MainFrm>() : nullptr;
}

/// The records of the installation's results file, as the program loads them.
inline std::vector<LoadedRecord> recordsIn(DemoInstallation& installation) {
    PosixRecordFile file;
    ResultsFile results(file, installation.resultsFile(), installation.clock, [](int) {});
    LoadedRecords loaded;
    auto counts = std::make_unique<CountTables>();
    if (const auto failure = results.LoadResultRecords(loaded, *counts); !failure) {
        qFatal("the demo's results file does not load: %s", failure.error().problem.c_str());
    }
    return loaded.entries;
}

}  // namespace gaisan::testing

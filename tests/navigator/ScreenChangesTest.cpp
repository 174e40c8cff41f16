#include <QPushButton>
#include <QTest>

#include "kit/ProgramApplication.h"
#include "support/DemoInstallation.h"
#include "windows/finish/FrmSyuuryou.h"

namespace gaisan {

using namespace std::chrono_literals;
using testing::shown;
using testing::type;

/// A child keeps clicking and typing while the screens play their sounds and rebuild their
/// lists. Whatever arrives in those pauses, exactly one working screen is left on show.
class ScreenChangesTest : public QObject {
    Q_OBJECT

private:
    /// Works a whole level-1 run that clears level 1, made the final level, for the first
    /// time: the finish screen plays "最高1.wav" and then the fanfare "合格.wav", each as long
    /// as a real sound. `duringFanfare` runs on the finish screen when the fanfare starts; true
    /// once it has run.
    static bool finishWithFanfare(testing::DemoInstallation& installation,
                                  const std::function<void(FrmSyuuryou*)>& duringFanfare) {
        MainFrm* drill = testing::logInAndStartLevel1(installation);
        if (!drill) return false;
        AppState& state = *installation.state;
        state.profile.FinalLevel = 1;
        state.criteria.ClearCount.at(1) = 1;
        state.criteria.ClearPoints.at(1) = 0;
        for (int answer = 1; answer <= 9; ++answer) type(drill, QStringLiteral("500 500 1000 "));
        installation.player.length = 700ms;
        bool fanfareWithFinish = false;
        installation.player.whilePlaying = [&](const std::string& file) {
            if (file != "合格.wav" || !shown<FrmSyuuryou>()) return;
            duringFanfare(shown<FrmSyuuryou>());
            fanfareWithFinish = true;
        };
        type(drill, QStringLiteral("500 500 1000 "));
        const bool played = QTest::qWaitFor([&] { return fanfareWithFinish; }, 10000);
        installation.player.whilePlaying = nullptr;
        return played;
    }

    static QPushButton* button(QWidget* window, const QString& name) {
        return window->findChild<QPushButton*>(name);
    }

    /// Exactly one screen is on show, of type Window, and it stays the only one once every
    /// queued event and deferred deletion has run.
    template <typename Window>
    static Window* theOnlyScreen() {
        if (!QTest::qWaitFor(
                [] { return testing::visibleWindows().size() == 1 && shown<Window>(); }, 10000)) {
            return nullptr;
        }
        QTest::qWait(300);
        return testing::visibleWindows().size() == 1 ? shown<Window>() : nullptr;
    }

    /// The drill screen takes answers: one correct answer leaves nine to go.
    static bool runsProperly(MainFrm* drill) {
        type(drill, QStringLiteral("500 500 1000 "));
        return testing::labelText(drill, QStringLiteral("sLabel9")) == QStringLiteral("9");
    }

private slots:
    void initTestCase() { setUpApplication(); }

    void retryClickedDuringTheFanfareStartsOneRun() {
        testing::DemoInstallation installation;
        bool retryOffered = false;
        QVERIFY(finishWithFanfare(installation, [&](FrmSyuuryou* finish) {
            retryOffered = button(finish, QStringLiteral("Command5"))->isVisible();
            testing::queueClick(button(finish, QStringLiteral("Command5")));
        }));
        QVERIFY(retryOffered);
        installation.player.length = 0ms;
        MainFrm* drill = theOnlyScreen<MainFrm>();
        QVERIFY(drill);
        QVERIFY(runsProperly(drill));
    }

    void retryDoubleClickedDuringTheFanfareStartsOneRun() {
        testing::DemoInstallation installation;
        QVERIFY(finishWithFanfare(installation, [&](FrmSyuuryou* finish) {
            testing::queueClick(button(finish, QStringLiteral("Command5")));
            testing::queueClick(button(finish, QStringLiteral("Command5")));
        }));
        installation.player.length = 0ms;
        MainFrm* drill = theOnlyScreen<MainFrm>();
        QVERIFY(drill);
        QVERIFY(runsProperly(drill));
    }

    void menuAndALevelKeyDuringTheFanfareLeaveOneScreen() {
        testing::DemoInstallation installation;
        QVERIFY(finishWithFanfare(installation, [&](FrmSyuuryou* finish) {
            testing::queueKeys(button(finish, QStringLiteral("Command4")), QStringLiteral("\n1"));
        }));
        installation.player.length = 0ms;
        seisekitime1* menu = theOnlyScreen<seisekitime1>();
        QVERIFY(menu);
        QTRY_VERIFY(menu->menuReady());
        type(menu, QStringLiteral("1"));
        MainFrm* drill = theOnlyScreen<MainFrm>();
        QVERIFY(drill);
        QVERIFY(runsProperly(drill));
    }

    void menuAndRetryClickedTogetherDuringTheFanfareLeaveOneScreen() {
        testing::DemoInstallation installation;
        QVERIFY(finishWithFanfare(installation, [&](FrmSyuuryou* finish) {
            testing::queueClick(button(finish, QStringLiteral("Command4")));
            testing::queueClick(button(finish, QStringLiteral("Command5")));
        }));
        installation.player.length = 0ms;
        QVERIFY(theOnlyScreen<seisekitime1>());
    }

    void leavingTheMenuWhileALevelStartsLeavesOneScreen() {
        testing::DemoInstallation installation;
        installation.flow->ContinueStartup();
        QTRY_VERIFY(shown<namesel>());
        auto* list = shown<namesel>()->findChild<QListWidget*>(QStringLiteral("List1"));
        list->setCurrentRow(testing::rowContaining(list, QStringLiteral("佐藤")));
        type(list, QStringLiteral("1"));
        QTRY_VERIFY(shown<seisekitime1>() && shown<seisekitime1>()->menuReady());
        seisekitime1* menu = shown<seisekitime1>();
        // "戻る(0)" clicked while the level's start lets events run.
        testing::queueClick(button(menu, QStringLiteral("Command1")));
        type(menu, QStringLiteral("1"));
        MainFrm* drill = theOnlyScreen<MainFrm>();
        QVERIFY(drill);
        QVERIFY(runsProperly(drill));
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::ScreenChangesTest)
#include "ScreenChangesTest.moc"

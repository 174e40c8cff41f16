#include <QPushButton>
#include <QTest>

#include <nlohmann/json.hpp>

#include "kit/ProgramApplication.h"
#include "server/Classroom.h"
#include "stores/installation/Configuration.h"
#include "support/DemoInstallation.h"
#include "windows/finish/FrmSyuuryou.h"

namespace gaisan {

using testing::shown;
using testing::type;

/// A classroom where desktop machines and browsers work side by side: a run on the desktop
/// program and a run in a browser go to the one results file, and each side's next screen counts
/// the other's run.
class DesktopAndBrowserTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }

    void desktopAndBrowserRunsShareOneResultsFile() {
        testing::DemoInstallation desktop;
        MainFrm* drill = testing::logInAndStartLevel1(desktop);
        QVERIFY(drill);
        for (int answer = 1; answer <= 10; ++answer) type(drill, QStringLiteral("500 500 1000 "));
        QVERIFY(QTest::qWaitFor([] { return shown<FrmSyuuryou>() != nullptr; }, 10000));

        // The browser server on the same installation, as the classroom machine runs it.
        auto served = std::make_unique<AppState>();
        QVERIFY(LoadConfiguration(*served, desktop.suite / "gaisan"));
        ApplyProfileLevels(served->profile);
        testing::FakeClock clock{{2026, 12, 10}, 11 * 3600.0};
        clock.setTickStep(5);
        testing::ScriptedRandom random{std::vector<double>(5000, 0.5)};
        PosixRecordFile recordFile;
        ResultsAccess results(
            *served, recordFile, clock, [](int) {}, [](const std::string&) {});
        Classroom classroom(*served, results, clock, random);
        QCOMPARE(classroom.state("tablet").status, 200);
        QCOMPARE(classroom.logIn("tablet", 2).status, 200);
        QCOMPARE(classroom.startLevel("tablet", 1).status, 200);
        std::vector<DrillKey> answer;
        for (const char key : std::string("500 500 1000 ")) {
            answer.push_back(key == ' ' ? DrillKey::Next : *drillKeyOf(std::string(1, key)));
        }
        for (int i = 0; i < 10; ++i) {
            clock.advanceSeconds(3);
            QCOMPARE(classroom.keys("tablet", answer).status, 200);
        }
        QVERIFY(classroom.state("tablet").body["screen"] == "finish");

        const auto records = testing::recordsIn(desktop);
        QCOMPARE(records.size(), std::size_t{2});
        QCOMPARE(records[0].student, 1);
        QCOMPARE(records[1].student, 2);
        QCOMPARE(records[1].seconds, 30);

        // The desktop's menu counts the browser's run, and the browser's menu the desktop's.
        FrmSyuuryou* finish = shown<FrmSyuuryou>();
        QPushButton* toMenu = finish->findChild<QPushButton*>(QStringLiteral("Command4"));
        QVERIFY(QTest::qWaitFor([&] { return toMenu->isVisible(); }, 5000));
        QTest::mouseClick(toMenu, Qt::LeftButton);
        QVERIFY(QTest::qWaitFor([] { return shown<seisekitime1>() != nullptr; }, 10000));
        QListWidget* ranking = testing::listNamed(shown<seisekitime1>(), QStringLiteral("List5_1"));
        QVERIFY(QTest::qWaitFor([&] { return ranking->count() > 0; }, 10000));
        const int browserRow = testing::rowContaining(ranking, QStringLiteral("鈴木"));
        QVERIFY(browserRow >= 0);
        QVERIFY2(!ranking->item(browserRow)->text().endsWith(QStringLiteral("    0")),
                 qPrintable(ranking->item(browserRow)->text()));
        QCOMPARE(classroom.toMenu("tablet").status, 200);
        const nlohmann::json menu = classroom.state("tablet").body["menu"];
        bool desktopRunCounted = false;
        for (const nlohmann::json& row : menu["levels"][0]["ranking"]["rows"]) {
            const std::string text = row;
            if (text.find("佐藤") != std::string::npos)
                desktopRunCounted = !text.ends_with("    0");
        }
        QVERIFY(desktopRunCounted);
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::DesktopAndBrowserTest)
#include "DesktopAndBrowserTest.moc"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>
#include <new>
#include <stdexcept>

#include "base/AppState.h"
#include "kit/BASEFRM.h"
#include "kit/ProgramApplication.h"
#include "kit/UnexpectedError.h"
#include "navigator/ScreenFlow.h"
#include "support/DemoInstallation.h"
#include "support/Screenshots.h"
#include "windows/names/namesel.h"
#include "windows/start/Firstfrm.h"
#include "windows/start/frmver.h"

namespace gaisan {

using testing::shown;

/// The start-up as a child sees it: the splash, then the first working window, on a copy of the
/// demo installation.
class StartupWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }

    void splashShowsTheEraDateAndSeasonThenTheConfiguration() {
        testing::DemoInstallation startup;
        startup.flow->start();
        auto* splash = shown<Firstfrm>();
        QVERIFY(splash);
        QCOMPARE(splash->findChild<QLabel*>(QStringLiteral("Label5"))->text(),
                 QStringLiteral("令和8年 12月 10日（木）"));
        QCOMPARE(startup.state->SeasonColour, 12648384u);
        QCOMPARE(startup.random.seed(), 10 * 3600.0);
        QCOMPARE(splash->palette().color(QPalette::Window), QColor(192, 255, 192));
        testing::saveScreenshot(*splash, QStringLiteral("splash"));

        QTRY_VERIFY(shown<namesel>());
        QTRY_VERIFY(!shown<Firstfrm>());
        QVERIFY(startup.boxes.shown.empty());
        QCOMPARE(startup.state->common.SchoolName, std::string("さくら学習塾"));
        QCOMPARE(startup.state->criteria.MinLineTime.at(1), 90);
    }

    void aMissingFileIsReportedWithItsPathAndEndsTheProgram() {
        testing::DemoInstallation startup;
        std::filesystem::remove(startup.suite / "data/共通データ.txt");
        QSignalSpy ended(startup.flow.get(), &ScreenFlow::programEnded);
        startup.flow->start();
        QTRY_COMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(0).toInt(), 1);
        QCOMPARE(startup.boxes.shown.size(), std::size_t{1});
        const QString text = startup.boxes.shown[0].text;
        QVERIFY2(
            text.contains(QString::fromStdString((startup.suite / "data/共通データ.txt").string())),
            qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("ファイルがありません")), qPrintable(text));
        QVERIFY(!shown<namesel>());
    }

    void aResultsFileThatCannotBeWrittenIsNamedAndEndsTheProgram() {
        testing::DemoInstallation startup;
        std::filesystem::create_directory(startup.resultsFile());
        QSignalSpy ended(startup.flow.get(), &ScreenFlow::programEnded);
        startup.flow->ContinueStartup();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(startup.boxes.shown.size(), std::size_t{1});
        const QString text = startup.boxes.shown[0].text;
        QVERIFY2(text.startsWith(QStringLiteral("成績ランダムファイル記録")), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("場所：") +
                               QString::fromStdString(startup.resultsFile().string())),
                 qPrintable(text));
        QVERIFY(!shown<namesel>());
    }

    void anUnexpectedErrorIsDescribed() {
        const auto textOf = [](const std::function<void()>& fail) {
            try {
                fail();
            } catch (...) {
                return unexpectedErrorText();
            }
            return QString();
        };
        const QString opening =
            QStringLiteral("予期しないエラーのため、プログラムを終了します。\n\n");
        QCOMPARE(textOf([] { throw std::bad_alloc(); }),
                 opening + QStringLiteral("問題：メモリが足りません。"));
        QCOMPARE(textOf([] { throw std::runtime_error("iconv failed"); }),
                 opening + QStringLiteral("問題：iconv failed"));
        QCOMPARE(textOf([] { throw 42; }), opening + QStringLiteral("問題：不明なエラーです。"));
    }

    void versionWindowShowsTitleAndVersion() {
        frmver window("概算", nullptr);
        window.Form_Activate();
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("概算"));
        QCOMPARE(window.findChild<QLabel*>(QStringLiteral("Label2"))->text(),
                 QStringLiteral("Version" GAISAN_VERSION));
        window.show();
        QVERIFY(!window.findChild<QPushButton*>(QStringLiteral("Command2"))->isVisible());
        testing::saveScreenshot(window, QStringLiteral("version"));
        window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(!window.isVisible());
    }

    void waitWindowSaysJustAMoment() {
        testing::DemoInstallation startup;
        startup.flow->showWaitWindow();
        auto* wait = shown<BASEFRM>();
        QVERIFY(wait);
        QCOMPARE(wait->findChild<QLabel*>()->text(), QStringLiteral("Just a moment, please."));
        testing::saveScreenshot(*wait, QStringLiteral("wait"));
        startup.flow->closeWaitWindow();
        QVERIFY(!shown<BASEFRM>());
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::StartupWindowsTest)
#include "StartupWindowsTest.moc"

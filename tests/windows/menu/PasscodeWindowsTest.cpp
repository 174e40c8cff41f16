#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "kit/ProgramApplication.h"
#include "stores/installation/Passcode.h"
#include "support/DemoInstallation.h"
#include "support/MenuHostForTests.h"
#include "support/Screenshots.h"
#include "windows/admin/FrmTimeData.h"
#include "windows/menu/PasscodeDialog.h"

namespace gaisan {

using testing::isShown;
using testing::labelText;

/// "データ処理" on the teacher's level menu, with and without a passcode in the data folder.
class PasscodeWindowsTest : public QObject {
    Q_OBJECT

private:
    static QPointer<PasscodeDialog> clickDataProcessing(seisekitime1& menu) {
        menu.findChild<QPushButton*>(QStringLiteral("Command8"))->click();
        return menu.findChild<PasscodeDialog*>();
    }
    static void enter(PasscodeDialog& dialog, const QString& passcode) {
        auto* entry = dialog.findChild<QLineEdit*>(QStringLiteral("Passcode"));
        entry->clear();
        QTest::keyClicks(entry, passcode);
        dialog.findChild<QPushButton*>(QStringLiteral("PasscodeOk"))->click();
    }
    static QString message(PasscodeDialog& dialog) {
        return labelText(&dialog, QStringLiteral("PasscodeMessage"));
    }
    static std::filesystem::path passcodeFile(testing::MenuHostForTests& host) {
        return host.state().locations.passcodeFile();
    }

private slots:
    void initTestCase() { setUpApplication(); }

    void withoutAPasscodeFileThePanelOpensWithoutAQuestion() {
        testing::MenuHostForTests host;
        host.logIn(999);  // 先生
        const auto menu = host.openMenu();
        QVERIFY(!std::filesystem::exists(passcodeFile(host)));
        QVERIFY(!clickDataProcessing(*menu));
        QVERIFY(isShown(menu.get(), QStringLiteral("Picture7")));
        QCOMPARE(host.sharedFileProblemAsks, 1);
    }

    void aWrongPasscodeKeepsThePanelShutAndTheRightOneOpensIt() {
        testing::MenuHostForTests host;
        QVERIFY(writePasscode(passcodeFile(host), "sakura3"));
        host.logIn(999);
        const auto menu = host.openMenu();

        QPointer<PasscodeDialog> dialog = clickDataProcessing(*menu);
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("先生の確認"));
        QCOMPARE(labelText(dialog, QStringLiteral("PasscodeQuestion")),
                 QStringLiteral("パスコードを入れてください"));
        auto* entry = dialog->findChild<QLineEdit*>(QStringLiteral("Passcode"));
        QCOMPARE(entry->echoMode(), QLineEdit::Password);
        QCOMPARE(dialog->findChild<QPushButton*>(QStringLiteral("PasscodeCancel"))->text(),
                 QStringLiteral("キャンセル"));
        QVERIFY(message(*dialog).isEmpty());
        enter(*dialog, QString());
        QVERIFY2(message(*dialog).isEmpty(), "nothing typed is no try");

        enter(*dialog, QStringLiteral("sakura"));
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(message(*dialog), QStringLiteral("パスコードがちがいます（あと2回）"));
        QVERIFY(entry->text().isEmpty());
        QVERIFY(!isShown(menu.get(), QStringLiteral("Picture7")));
        QCOMPARE(host.sharedFileProblemAsks, 0);
        QTest::keyClicks(entry, QStringLiteral("abc"));
        testing::saveScreenshot(*dialog, QStringLiteral("passcode-wrong"));

        // "キャンセル" leaves the panel shut; asking again asks again.
        dialog->findChild<QPushButton*>(QStringLiteral("PasscodeCancel"))->click();
        QTRY_VERIFY(!dialog);
        QVERIFY(!isShown(menu.get(), QStringLiteral("Picture7")));
        dialog = clickDataProcessing(*menu);
        QVERIFY(dialog && dialog->isVisible());

        enter(*dialog, QStringLiteral("sakura3"));
        QTRY_VERIFY(!dialog);
        QVERIFY(isShown(menu.get(), QStringLiteral("Picture7")));
        QCOMPARE(host.sharedFileProblemAsks, 1);
    }

    void theThirdWrongTryMakesItWaitAMinuteEvenOnAFreshMenu() {
        testing::MenuHostForTests host;
        QVERIFY(writePasscode(passcodeFile(host), "sakura3"));
        host.logIn(999);
        auto menu = host.openMenu();
        QPointer<PasscodeDialog> dialog = clickDataProcessing(*menu);
        for (const char* wrong : {"1", "2", "3"}) enter(*dialog, QString::fromLatin1(wrong));
        QCOMPARE(message(*dialog),
                 QStringLiteral("3回まちがえたので、1分待ってから入れてください"));
        testing::saveScreenshot(*dialog, QStringLiteral("passcode-wait"));
        host.fakeClock().advanceSeconds(20);
        enter(*dialog, QStringLiteral("sakura3"));
        QCOMPARE(message(*dialog), QStringLiteral("まだ入れられません。あと40秒待ってください"));
        QVERIFY(!isShown(menu.get(), QStringLiteral("Picture7")));

        // Leaving the menu and coming back does not end the wait, nor does starting the
        // program again: the count is in the data folder.
        dialog->reject();
        menu = host.openMenu();
        dialog = clickDataProcessing(*menu);
        QCOMPARE(message(*dialog), QStringLiteral("まだ入れられません。あと40秒待ってください"));
        dialog->reject();
        host.startProgramAgain();
        menu = host.openMenu();
        dialog = clickDataProcessing(*menu);
        QCOMPARE(message(*dialog), QStringLiteral("まだ入れられません。あと40秒待ってください"));

        host.fakeClock().advanceSeconds(40);
        enter(*dialog, QStringLiteral("sakura3"));
        QTRY_VERIFY(!dialog);
        QVERIFY(isShown(menu.get(), QStringLiteral("Picture7")));
    }

    void aDamagedPasscodeFileKeepsThePanelShutAndSaysWhy() {
        testing::MenuHostForTests host;
        host.suite.writeBytes("data/gaisan/先生パスコード.txt", "sakura3\r\n");
        host.logIn(999);
        const auto menu = host.openMenu();
        QPointer<PasscodeDialog> dialog = clickDataProcessing(*menu);
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY2(message(*dialog).startsWith(QStringLiteral("パスコードのファイルがこわれている")),
                 qPrintable(message(*dialog)));
        QVERIFY(!dialog->findChild<QLineEdit*>(QStringLiteral("Passcode"))->isEnabled());
        QVERIFY(!dialog->findChild<QPushButton*>(QStringLiteral("PasscodeOk"))->isEnabled());
        testing::saveScreenshot(*dialog, QStringLiteral("passcode-damaged"));
        dialog->findChild<QPushButton*>(QStringLiteral("PasscodeCancel"))->click();
        QTRY_VERIFY(!dialog);
        QVERIFY(!isShown(menu.get(), QStringLiteral("Picture7")));
    }

    // A count of wrong tries that cannot be read may hide three of them: the question waits a
    // minute, saying why, and then asks.
    void aCountThatCannotBeReadMakesItWaitAMinuteAndSaysWhy() {
        testing::MenuHostForTests host;
        QVERIFY(writePasscode(passcodeFile(host), "sakura3"));
        host.suite.writeBytes("data/gaisan/先生パスコード失敗回数.txt", "?\r\n");
        host.logIn(999);
        const auto menu = host.openMenu();
        QPointer<PasscodeDialog> dialog = clickDataProcessing(*menu);
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY2(message(*dialog).startsWith(
                     QStringLiteral("まだ入れられません。あと60秒待ってください\n"
                                    "まちがえた回数の記録を読めません：")),
                 qPrintable(message(*dialog)));
        testing::saveScreenshot(*dialog, QStringLiteral("passcode-count-unreadable"));
        host.fakeClock().advanceSeconds(60);
        enter(*dialog, QStringLiteral("sakura3"));
        QTRY_VERIFY(!dialog);
        QVERIFY(isShown(menu.get(), QStringLiteral("Picture7")));
        QVERIFY2(!std::filesystem::exists(host.state().locations.passcodeTriesFile()),
                 "the right passcode removes the spoilt count");
    }

    // Through the real screen flow: a passcode set while the program runs counts at the next
    // click, and is asked once until the teacher leaves the menu, though each tool of the panel
    // returns to a fresh menu.
    void theProgramAsksOnceAPasscodeIsSetAndOnceForAVisitToTheMenu() {
        testing::DemoInstallation installation;
        seisekitime1* menu = testing::logIn(installation, QStringLiteral("先生"));
        QVERIFY(menu);
        QVERIFY(writePasscode(installation.state->locations.passcodeFile(), "ume"));
        QPointer<PasscodeDialog> dialog = clickDataProcessing(*menu);
        QVERIFY(dialog);
        enter(*dialog, QStringLiteral("sakura3"));
        QCOMPARE(message(*dialog), QStringLiteral("パスコードがちがいます（あと2回）"));
        enter(*dialog, QStringLiteral("ume"));
        QTRY_VERIFY(!dialog);
        QVERIFY(isShown(menu, QStringLiteral("Picture7")));

        // To the criteria editor and back: the panel opens without a question.
        menu->findChild<QPushButton*>(QStringLiteral("Command10_1"))->click();
        QTRY_VERIFY(testing::shown<FrmTimeData>());
        testing::shown<FrmTimeData>()->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
        QTRY_VERIFY(testing::shown<seisekitime1>() && testing::shown<seisekitime1>()->menuReady());
        menu = testing::shown<seisekitime1>();
        QVERIFY(!clickDataProcessing(*menu));
        QVERIFY(isShown(menu, QStringLiteral("Picture7")));

        // Back to the name list: whoever chooses 先生 next is asked again.
        menu->Command1_Click();
        menu = testing::chooseName(QStringLiteral("先生"));
        QVERIFY(menu);
        dialog = clickDataProcessing(*menu);
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!isShown(menu, QStringLiteral("Picture7")));
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::PasscodeWindowsTest)
#include "PasscodeWindowsTest.moc"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>

#include "kit/ListChoiceDialog.h"
#include "kit/MessageBoxes.h"
#include "kit/PrintDialog.h"
#include "kit/ProgramApplication.h"
#include "kit/SaveFileDialog.h"
#include "support/FakeClock.h"
#include "support/Screenshots.h"
#include "support/TempFolder.h"
#include "windows/menu/CsvOptionsDialog.h"
#include "windows/menu/PasscodeDialog.h"
#include "windows/start/frmver.h"

namespace gaisan {
namespace {

/// What keeps `dialog` from being used on the screen: a frame outside the screen, a button
/// hidden, cut or squeezed below the width its text needs. Empty when every part can be used.
QStringList unusableParts(QWidget& dialog) {
    QStringList problems;
    const QRect screen = dialog.screen()->geometry();
    if (!screen.contains(dialog.frameGeometry())) {
        problems << QStringLiteral("the dialog (%1x%2 at %3,%4) leaves the %5x%6 screen")
                        .arg(dialog.frameGeometry().width())
                        .arg(dialog.frameGeometry().height())
                        .arg(dialog.frameGeometry().x())
                        .arg(dialog.frameGeometry().y())
                        .arg(screen.width())
                        .arg(screen.height());
    }
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->isHidden() || button->window() != &dialog) continue;
        const QRect inDialog(button->mapTo(&dialog, QPoint(0, 0)), button->size());
        if (!button->isVisible() || !dialog.rect().contains(inDialog) ||
            button->width() < button->minimumSizeHint().width()) {
            problems
                << QStringLiteral("the button \"%1\" is not whole in view").arg(button->text());
        }
    }
    return problems;
}

/// Runs `open`, which opens a modal dialog and waits for it, and checks the dialog it opened
/// once it shows, then closes it; `name` names the screenshot.
void checkModalDialog(const QString& name, const std::function<void()>& open) {
    QStringList problems{QStringLiteral("no dialog opened")};
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr) return;
        QCoreApplication::processEvents();
        problems = unusableParts(*dialog);
        testing::saveScreenshot(*dialog, name);
        dialog->close();
    });
    open();
    QVERIFY2(problems.isEmpty(), qPrintable(name + QStringLiteral(": ") + problems.join(u'|')));
}

/// A line as long as the longest the program writes: a change of the records with its whole
/// caption, or a file deep in a shared folder.
QString longCaption(int number) {
    return QStringLiteral(
               "変更%1 2026/12/10 15:42:07 PC-教室-03 削除 レベル12 佐々木　葵 "
               "2026/12/09 14:03:55 1234秒 → 元に戻した変更%2（2026/12/10 15:50:12 "
               "PC-教室-05 が元に戻しました）")
        .arg(number)
        .arg(number + 100);
}

QString longPath() {
    return QStringLiteral("/srv/classroom-share/gaisan/") + QString(20, QLatin1Char('x')) +
           QStringLiteral("/data/gaisan/成績解答データ2026/") + QString(120, QLatin1Char('y')) +
           QStringLiteral("/生徒0001.dat");
}

}  // namespace

/// Every dialog of the program on the 1024 × 768 screen the program is laid out for, with the
/// longest texts it shows: each inside the screen, its buttons whole, its long lines wrapped or
/// scrolled.
class DialogSizeWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        setUpApplication();
        QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1024, 768));
    }

    void theChoiceOfAChangeToUndo() {
        QStringList captions;
        for (int number = 1; number <= 40; ++number) captions << longCaption(number);
        checkModalDialog(QStringLiteral("dialog-undo-list"), [&] {
            (void)chooseFromList(
                nullptr, {QStringLiteral("UndoDialog"), QStringLiteral("UndoList"),
                          QStringLiteral("元に戻す"),
                          QStringLiteral("元に戻す変更を選んでください（新しい順）。"), captions});
        });
    }

    void messageBoxes_data() {
        QTest::addColumn<QString>("text");
        QString manyLines = QStringLiteral(
                                "「新名簿.txt」の次の行の生徒は名前の一覧に出ません。\n\n"
                                "場所：") +
                            longPath();
        for (int line = 1; line <= 200; ++line) {
            manyLines +=
                QStringLiteral("\n%1行目：生徒番号 6000 は 1 から 5000 の外です。").arg(line);
        }
        QTest::newRow("a short one") << QStringLiteral("この記録を削除します。よろしいですか？");
        QTest::newRow("many lines") << manyLines;
        QTest::newRow("a long path")
            << QStringLiteral("成績データを開けません。\n\n場所：") + longPath() + longPath();
    }

    void messageBoxes() {
        QFETCH(QString, text);
        QtMessageBoxes boxes;
        checkModalDialog(QStringLiteral("dialog-message-") + QTest::currentDataTag(),
                         [&] { boxes.inform(nullptr, QStringLiteral("名簿の確認"), text); });
        checkModalDialog(QStringLiteral("dialog-question-") + QTest::currentDataTag(), [&] {
            (void)boxes.ask(nullptr, QStringLiteral("確認"), text, MessageBoxes::Answers::OkCancel);
        });
    }

    void theCsvOptions() {
        checkModalDialog(QStringLiteral("dialog-csv-options"), [] {
            (void)CsvOptionsDialog::ask(nullptr, {2026, 12, 10});
        });
    }

    void thePasscodeQuestionWithADamagedFile() {
        testing::FakeClock clock;
        const testing::TempFolder folder;
        PasscodeTries tries(clock, folder / "先生パスコード失敗回数.txt");
        PasscodeDialog dialog(
            nullptr,
            {StoredPasscode::State::Damaged,
             {},
             "パスコードのファイルが壊れています。場所：" + longPath().toStdString()},
            tries);
        checkModalDialog(QStringLiteral("dialog-passcode"), [&] { dialog.exec(); });
    }

    void thePrintDialogWithItsOptions() {
        QPrinter printer(QPrinter::HighResolution);
        QStringList problems{QStringLiteral("no dialog opened")};
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (dialog == nullptr) return;
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (button->text().startsWith(QStringLiteral("オプション"))) button->click();
            }
            QCoreApplication::processEvents();
            problems = unusableParts(*dialog);
            testing::saveScreenshot(*dialog, QStringLiteral("dialog-print"));
            dialog->close();
        });
        (void)choosePrinterInDialog(printer, nullptr);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'|')));
    }

    void theSaveDialog() {
        checkModalDialog(QStringLiteral("dialog-save"), [] {
            (void)chooseSaveFile(nullptr, QStringLiteral("成績をCSVで保存"),
                                 QStringLiteral("/tmp/成績_2026-12-10.csv"),
                                 QStringLiteral("CSVファイル (*.csv)"));
        });
    }

    void theVersion() {
        checkModalDialog(QStringLiteral("dialog-version"), [] {
            frmver window("概算", nullptr);
            window.Form_Activate();
            window.exec();
        });
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::DialogSizeWindowsTest)
#include "DialogSizeWindowsTest.moc"

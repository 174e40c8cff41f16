#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <memory>

#include "app/windows/MessageBoxes.h"
#include "app/windows/ProgramApplication.h"
#include "app/windows/SaveFileDialog.h"
#include "menu/windows/PasscodeDialog.h"
#include "support/FakeClock.h"
#include "support/Screenshots.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

QStringList buttonTexts(const QList<QAbstractButton*>& buttons) {
    QStringList texts;
    for (const QAbstractButton* button : buttons) texts << button->text();
    texts.sort();
    return texts;
}

QStringList labelTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->isVisible()) texts << label->text();
    }
    return texts;
}

}  // namespace

/// Qt's own dialogs under the C locale, as school machines often run: the program is Japanese
/// only, so their buttons and labels must be too.
class DialogLanguageWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY2(QLocale::system().language() == QLocale::C,
                 "the test must run in the C locale to show anything");
        setUpApplication();
    }

    void questionBoxesHaveJapaneseButtons_data() {
        QTest::addColumn<bool>("yesNo");
        QTest::addColumn<QStringList>("texts");
        QStringList okCancel{QStringLiteral("OK"), QStringLiteral("キャンセル")};
        QStringList yesNo{QStringLiteral("いいえ(&N)"), QStringLiteral("はい(&Y)")};
        okCancel.sort();
        yesNo.sort();
        QTest::newRow("delete a record") << false << okCancel;
        QTest::newRow("leave the criteria editor") << true << yesNo;
    }

    void questionBoxesHaveJapaneseButtons() {
        QFETCH(bool, yesNo);
        QFETCH(QStringList, texts);
        QtMessageBoxes boxes;
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            seen = buttonTexts(box->buttons());
            box->reject();
        });
        QVERIFY(!boxes.ask(nullptr, QStringLiteral("確認"), QStringLiteral("よろしいですか？"),
                           yesNo ? MessageBoxes::Answers::YesNo : MessageBoxes::Answers::OkCancel));
        QCOMPARE(seen, texts);
    }

    // Its texts are its own; the entry's menu is Qt's.
    void thePasscodeQuestionSpeaksJapanese() {
        testing::FakeClock clock;
        const testing::TempFolder folder;
        PasscodeTries tries(clock, folder / "先生パスコード失敗回数.txt");
        PasscodeDialog dialog(nullptr, {StoredPasscode::State::Set, "$argon2id$", {}}, tries);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("先生の確認"));
        QCOMPARE(labelTexts(dialog).first(), QStringLiteral("パスコードを入れてください"));
        QCOMPARE(buttonTexts(dialog.findChildren<QAbstractButton*>()),
                 (QStringList{QStringLiteral("OK"), QStringLiteral("キャンセル")}));
        const std::unique_ptr<QMenu> menu(
            dialog.findChild<QLineEdit*>(QStringLiteral("Passcode"))->createStandardContextMenu());
        QStringList actions;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) actions << action->text();
        }
        QVERIFY2(!actions.isEmpty() && !actions.join('|').contains(QStringLiteral("Paste")),
                 qPrintable(actions.join('|')));
    }

    void thePrintDialogSpeaksJapanese() {
        QPrinter printer(QPrinter::HighResolution);
        QPrintDialog dialog(&printer);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QStringList buttons;
        for (const QPushButton* button : dialog.findChildren<QPushButton*>())
            buttons << button->text();
        QVERIFY2(buttons.contains(QStringLiteral("印刷(&P)")), qPrintable(buttons.join('|')));
        QVERIFY2(buttons.contains(QStringLiteral("キャンセル")), qPrintable(buttons.join('|')));
        QVERIFY2(buttons.contains(QStringLiteral("オプション(&O) >>")),
                 qPrintable(buttons.join('|')));
        QStringList groups;
        for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) groups << group->title();
        QVERIFY2(groups.contains(QStringLiteral("プリンタ")), qPrintable(groups.join('|')));
        dialog.reject();
    }

    void theSaveDialogSpeaksJapaneseAndShowsItsColumnsInFull() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        for (const char* name : {"成績_2026-12-10.csv", "ずっと前の成績_2025-04-01.csv"}) {
            QFile file(folder.filePath(QString::fromUtf8(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(123456, 'x'));
        }
        const std::unique_ptr<QFileDialog> dialog =
            makeSaveFileDialog(nullptr, QStringLiteral("成績をCSVで保存"),
                               folder.filePath(QStringLiteral("成績_2026-12-11.csv")),
                               QStringLiteral("CSVファイル (*.csv)"));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        QVERIFY(buttons != nullptr);
        QCOMPARE(buttons->button(QDialogButtonBox::Save)->text(), QStringLiteral("保存(&S)"));
        QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
        const QStringList labels = labelTexts(*dialog);
        QVERIFY2(labels.contains(QStringLiteral("アドレス:")), qPrintable(labels.join('|')));
        QVERIFY2(labels.contains(QStringLiteral("ファイル名(&N):")), qPrintable(labels.join('|')));

        // The folder is read in the background; every cell of the size, type and date columns
        // is shown whole once it has been.
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(view != nullptr);
        QAbstractItemModel* model = view->model();
        QTRY_COMPARE(model->rowCount(view->rootIndex()), 2);
        QTest::qWait(50);
        const int margin = (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) * 2;
        const QFontMetrics metrics(view->font());
        for (int row = 0; row < 2; ++row) {
            for (int column = 1; column < model->columnCount(view->rootIndex()); ++column) {
                const QModelIndex index = model->index(row, column, view->rootIndex());
                const QString text = index.data().toString();
                QVERIFY(!text.isEmpty());
                QVERIFY2(
                    view->visualRect(index).width() >= metrics.horizontalAdvance(text) + margin,
                    qPrintable(text));
            }
            const QModelIndex date = model->index(row, 3, view->rootIndex());
            QVERIFY2(view->visualRect(date).right() < view->viewport()->width(),
                     "the columns fit the dialog without scrolling");
        }
        testing::saveScreenshot(*dialog, QStringLiteral("save-dialog"));
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::DialogLanguageWindowsTest)
#include "DialogLanguageWindowsTest.moc"

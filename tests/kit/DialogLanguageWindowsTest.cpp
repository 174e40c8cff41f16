#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <memory>

#include "kit/MessageBoxes.h"
#include "kit/ProgramApplication.h"
#include "kit/SaveFileDialog.h"
#include "support/FakeClock.h"
#include "support/Screenshots.h"
#include "support/TempFolder.h"
#include "windows/menu/PasscodeDialog.h"

namespace gaisan {
namespace {

QStringList buttonTexts(const QList<QAbstractButton*>& buttons) {
    QStringList texts;
    for (const QAbstractButton* button : buttons) texts << button->text();
    texts.sort();
    return texts;
}

/// The texts of `window` and every widget in it, shown or not (a tab away, a tip), that hold an
/// English word: three letters or more, one of them lower case ("Off", "Pages"; "PDF" and "A4"
/// are no words). The paper sizes and the printers are names, the file name is the user's.
QStringList englishTexts(const QWidget& window) {
    static const QRegularExpression word(
        QStringLiteral("(?<![A-Za-z])(?=[A-Za-z]*[a-z])[A-Za-z]{3,}(?![A-Za-z])"));
    static const QStringList names{QStringLiteral("pageSizeCombo"), QStringLiteral("printers")};
    QStringList found;
    const auto check = [&](const QWidget* widget, const QString& text) {
        if (text.contains(word)) found << widget->objectName() + QStringLiteral(": ") + text;
    };
    QList<const QWidget*> widgets{&window};
    for (const QWidget* child : window.findChildren<QWidget*>()) widgets << child;
    for (const QWidget* widget : widgets) {
        check(widget, widget->toolTip());
        if (widget->isWindow()) check(widget, widget->windowTitle());
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            check(widget, button->text());
        if (const auto* group = qobject_cast<const QGroupBox*>(widget))
            check(widget, group->title());
        if (const auto* label = qobject_cast<const QLabel*>(widget)) check(widget, label->text());
        if (const auto* tabs = qobject_cast<const QTabWidget*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) check(widget, tabs->tabText(i));
        }
        const auto* combo = qobject_cast<const QComboBox*>(widget);
        if (combo != nullptr && !names.contains(combo->objectName())) {
            for (int i = 0; i < combo->count(); ++i) check(widget, combo->itemText(i));
        }
    }
    return found;
}

/// "C" or "ja", for the names of the screenshots.
QString localeName() {
    return QLocale::system().language() == QLocale::C ? QStringLiteral("C") : QStringLiteral("ja");
}

QStringList labelTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->isVisible()) texts << label->text();
    }
    return texts;
}

}  // namespace

/// Qt's own dialogs under the C locale, as school machines often run, and under a Japanese one:
/// the program is Japanese only, so their buttons and labels must be too.
class DialogLanguageWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The program must speak Japanese where the machine does not, and where it does too.
        const QLocale::Language language = QLocale::system().language();
        QVERIFY2(language == QLocale::C || language == QLocale::Japanese,
                 "the test runs in the C locale and in a Japanese one");
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
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box != nullptr);
            seen = buttonTexts(box->findChild<QDialogButtonBox*>()->buttons());
            box->close();
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

    // Every text of the dialog, its options and its printer's properties, shown or one click
    // away (a tab, a tip), is Japanese.
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
        QPushButton* options = nullptr;
        for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("オプション(&O) >>")) options = button;
        }
        QVERIFY2(options != nullptr, qPrintable(buttons.join('|')));
        QTest::mouseClick(options, Qt::LeftButton);
        QStringList groups;
        for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) groups << group->title();
        QVERIFY2(groups.contains(QStringLiteral("プリンタ")), qPrintable(groups.join('|')));
        QVERIFY2(groups.contains(QStringLiteral("両面印刷")), qPrintable(groups.join('|')));
        const QStringList english = englishTexts(dialog);
        QVERIFY2(english.isEmpty(), qPrintable(english.join('|')));
        testing::saveScreenshot(dialog, QStringLiteral("print-dialog-") + localeName());

        QStringList propertiesEnglish{QStringLiteral("(the properties were not shown)")};
        QTimer::singleShot(0, this, [&] {
            QWidget* properties = QApplication::activeModalWidget();
            if (properties == nullptr || properties == &dialog) return;
            propertiesEnglish = englishTexts(*properties);
            testing::saveScreenshot(*properties,
                                    QStringLiteral("print-properties-") + localeName());
            properties->close();
        });
        dialog.findChild<QPushButton*>(QStringLiteral("properties"))->click();
        QVERIFY2(propertiesEnglish.isEmpty(), qPrintable(propertiesEnglish.join('|')));
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

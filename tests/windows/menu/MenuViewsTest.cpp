#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

#include "kit/ProgramApplication.h"
#include "support/DemoInstallation.h"
#include "support/MenuHostForTests.h"
#include "support/RecordFiles.h"
#include "support/Screenshots.h"

namespace gaisan {

using testing::isShown;
using testing::labelText;
using testing::shown;

namespace {

double clockOf(int hours, int minutes) { return (hours * 60 + minutes) / 1440.0; }

/// Runs of level 1 by 佐藤 (1, grade 3), 田中 (4, grade 6) and 山本 (7, grade 8) around the
/// demo's today, Thursday 2026-12-10, and one of level 2 long ago.
void writeRuns(const testing::MenuHostForTests& host) {
    testing::appendRecords(host.resultsFile(),
                           {
                               testing::runRecord(1, 2, 80, {2025, 11, 5}, clockOf(15, 0)),
                               testing::runRecord(7, 1, 40, {2026, 11, 20}, clockOf(16, 10)),
                               testing::runRecord(1, 1, 70, {2026, 12, 7}, clockOf(9, 0)),
                               testing::runRecord(1, 1, 45, {2026, 12, 10}, clockOf(9, 30)),
                               testing::runRecord(7, 1, 50, {2026, 12, 10}, clockOf(9, 40)),
                               testing::runRecord(4, 1, 99999, {2026, 12, 10}, clockOf(9, 50)),
                           });
}

/// One user action on the menu and what level 1's list shows after it.
struct Step {
    QString action;  ///< a control to click, or "Combo1=band" / "Combo2=index"
    QString title;   ///< Label5
    int rows;
    QStringList firstRows;
};

void act(seisekitime1* menu, const QString& action) {
    if (action.startsWith(QStringLiteral("Combo"))) {
        const QStringList parts = action.split(QLatin1Char('='));
        auto* box = menu->findChild<QComboBox*>(parts[0]);
        if (parts[0] == QStringLiteral("Combo1")) {
            box->setCurrentText(parts[1]);
        } else {
            box->setCurrentIndex(parts[1].toInt());
        }
        emit box->activated(box->currentIndex());
        return;
    }
    menu->findChild<QRadioButton*>(action)->click();
}

QStringList rowsOf(QListWidget* list) {
    QStringList rows;
    for (int row = 0; row < list->count(); ++row) rows.append(list->item(row)->text());
    return rows;
}

}  // namespace

/// The results views of the level menu on a copy of the demo installation: every option of the
/// view and list selectors, the band and period boxes, and the paging of six level columns.
class MenuViewsTest : public QObject {
    Q_OBJECT

private:
    /// Walks `steps`, checking level 1's list after each and that the menu is usable again.
    static void walk(seisekitime1* menu, const std::vector<Step>& steps) {
        for (const Step& step : steps) {
            act(menu, step.action);
            const QString where = step.action;
            QListWidget* list = menu->findChild<QListWidget*>(QStringLiteral("List5_1"));
            const QStringList rows = rowsOf(list);
            QVERIFY2(labelText(menu, QStringLiteral("Label5")) == step.title, qPrintable(where));
            QVERIFY2(rows.size() == step.rows,
                     qPrintable(where + QStringLiteral(": %1 rows").arg(rows.size())));
            QVERIFY2(
                rows.mid(0, static_cast<int>(step.firstRows.size())) == step.firstRows,
                qPrintable(where + QStringLiteral(": ") + rows.mid(0, 3).join(QLatin1Char('|'))));
            QVERIFY2(list->isVisible() && list->currentRow() == -1, qPrintable(where));
            QVERIFY2(labelText(menu, QStringLiteral("Label9_1")) == QStringLiteral("今日"),
                     qPrintable(where));
            QVERIFY2(labelText(menu, QStringLiteral("Label10_1")) == QStringLiteral("今まで"),
                     qPrintable(where));
            // Everything usable again, and the wait panel gone.
            QVERIFY2(!isShown(menu, QStringLiteral("Picture6")), qPrintable(where));
            for (const char* control :
                 {"Command1", "Command4_1", "Picture1", "Picture5", "Combo1"}) {
                QVERIFY2(menu->findChild<QWidget*>(QString::fromLatin1(control))->isEnabled(),
                         qPrintable(where + QStringLiteral(": ") + QString::fromLatin1(control)));
            }
            QVERIFY(menu->menuReady());
        }
    }

private slots:
    void initTestCase() { setUpApplication(); }

    void aStudentWalksEveryView() {
        testing::MenuHostForTests host;
        writeRuns(host);
        host.logIn(1);  // 佐藤
        const auto opened = host.openMenu();
        seisekitime1* menu = opened.get();
        QVERIFY(menu->menuReady());
        const QString ranking1 = QStringLiteral("1Ⅱ山本　大翔  5/   11");
        const QString ranking2 = QStringLiteral("2●佐藤　陽菜  5/    9");
        walk(menu,
             {
                 {QStringLiteral("Option2_0"),
                  QStringLiteral("ベスト成績"),
                  31,
                  {QStringLiteral("1Ⅱ山本　大翔    40 　"), QStringLiteral("2●佐藤　陽菜    45 ●"),
                   QStringLiteral("--②鈴木　蓮　------ 　")}},
                 {QStringLiteral("Option1_2"),
                  QStringLiteral("本日の成績"),
                  3,
                  {QStringLiteral("  45秒 09:30●佐藤　陽菜●5"),
                   QStringLiteral("  50秒 09:40Ⅱ山本　大翔Ⅱ5"),
                   QStringLiteral("　　× 09:50⑥田中　結衣⑥")}},
                 {QStringLiteral("Option1_3"),
                  QString(),
                  5,
                  {QStringLiteral("  40秒 11/20Ⅱ山本　大翔Ⅱ6"),
                   QStringLiteral("  70秒 12/07●佐藤　陽菜●4")}},
                 {QStringLiteral("Combo2=0"),
                  QString(),
                  4,
                  {QStringLiteral("  70秒 12/07●佐藤　陽菜●4")}},
                 {QStringLiteral("Combo2=4"),
                  QString(),
                  5,
                  {QStringLiteral("  40秒 11/20Ⅱ山本　大翔Ⅱ6")}},
                 {QStringLiteral("Option2_1"),
                  QString(),
                  5,
                  {QStringLiteral("  6 11/20Ⅱ山本　大翔Ⅱ40秒"),
                   QStringLiteral("  4 12/07●佐藤　陽菜●70秒")}},
                 {QStringLiteral("Option1_2"),
                  QStringLiteral("獲得ポイント（今日の順位）"),
                  2,
                  {ranking1, QStringLiteral("1●佐藤　陽菜  5/    9")}},
                 {QStringLiteral("Option1_1"),
                  QStringLiteral("獲得ポイント（今まで順位）"),
                  31,
                  {ranking1, ranking2}},
                 {QStringLiteral("Combo1=中学生全体"),
                  QStringLiteral("獲得ポイント（今まで順位）"),
                  9,
                  {ranking1, QStringLiteral("3Ⅰ加藤　芽衣  0/    0")}},
                 {QStringLiteral("Combo1=全学年"),
                  QStringLiteral("獲得ポイント（今まで順位）"),
                  31,
                  {ranking1, ranking2}},
                 {QStringLiteral("Option2_2"),
                  QStringLiteral("個人別ﾀｲﾑ"),
                  2,
                  {QStringLiteral("2026/12/07 9:00:00  70秒"),
                   QStringLiteral("2026/12/10 9:30:00  45秒")}},
             });
        QVERIFY(isShown(menu, QStringLiteral("Command17")));
        QVERIFY(!isShown(menu, QStringLiteral("Combo2")));
        QCOMPARE(rowsOf(menu->findChild<QListWidget*>(QStringLiteral("List5_2"))),
                 QStringList{QStringLiteral("2025/11/05 15:00:00  80秒")});
        testing::saveScreenshot(*menu, QStringLiteral("level-menu-personal"));

        // From the student's own runs, a new band goes to the points view, and says so. The
        // ranks stay those among every student.
        walk(menu, {{QStringLiteral("Combo1=小学生全体"),
                     QStringLiteral("獲得ポイント（今まで順位）"),
                     18,
                     {ranking2, QStringLiteral("3②鈴木　蓮　  0/    0")}}});
        QVERIFY(menu->findChild<QRadioButton*>(QStringLiteral("Option2_1"))->isChecked());
        QVERIFY(!isShown(menu, QStringLiteral("Command17")));
        // And so does a list option.
        walk(menu,
             {{QStringLiteral("Option2_2"), QStringLiteral("個人別ﾀｲﾑ"), 2, {}},
              {QStringLiteral("Option1_2"), QStringLiteral("獲得ポイント（今日の順位）"), 1, {}}});
        QVERIFY(menu->findChild<QRadioButton*>(QStringLiteral("Option2_1"))->isChecked());
        QVERIFY(host.messageBoxes.shown.empty());
        QVERIFY(host.requests.empty());
    }

    void theTeacherWalksEveryViewAndSeesEachViewsCaptions() {
        testing::MenuHostForTests host;
        writeRuns(host);
        host.logIn(999);  // 先生
        const auto opened = host.openMenu();
        seisekitime1* menu = opened.get();
        const auto captions = [menu] {
            QStringList texts;
            for (int i = 1; i <= 3; ++i) {
                texts.append(
                    menu->findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(i))->text());
            }
            return texts.join(QLatin1Char(','));
        };
        QCOMPARE(captions(), QStringLiteral("累計順,本日順,すべて"));
        walk(menu, {
                       {QStringLiteral("Option2_0"),
                        QStringLiteral("ベスト成績"),
                        31,
                        {QStringLiteral("1Ⅱ山本　大翔    40 　"),
                         QStringLiteral("2③佐藤　陽菜    45 　")}},
                   });
        QCOMPARE(captions(), QStringLiteral("BEST表示,本日のみ,オール表示"));
        QVERIFY(rowsOf(menu->findChild<QListWidget*>(QStringLiteral("List5_1")))
                    .contains(QStringLiteral("--●先生　　　------ ●")));
        testing::saveScreenshot(*menu, QStringLiteral("level-menu-best"));
        walk(menu, {
                       {QStringLiteral("Option1_2"),
                        QStringLiteral("本日の成績"),
                        3,
                        {QStringLiteral("  45秒 09:30③佐藤　陽菜③5")}},
                   });
        testing::saveScreenshot(*menu, QStringLiteral("level-menu-today"));
        walk(menu, {
                       {QStringLiteral("Option1_3"),
                        QString(),
                        5,
                        {QStringLiteral("  40秒 11/20Ⅱ山本　大翔Ⅱ6")}},
                   });
        QVERIFY(isShown(menu, QStringLiteral("Combo2")));
        testing::saveScreenshot(*menu, QStringLiteral("level-menu-period-time"));
        walk(menu, {
                       {QStringLiteral("Option2_2"), QStringLiteral("個人別ﾀｲﾑ"), 0, {}},
                       {QStringLiteral("Option2_1"),
                        QString(),
                        5,
                        {QStringLiteral("  6 11/20Ⅱ山本　大翔Ⅱ40秒")}},
                   });
        QCOMPARE(captions(), QStringLiteral("合計累計,合計本日,すべて"));
        testing::saveScreenshot(*menu, QStringLiteral("level-menu-period-points"));
        walk(menu, {
                       {QStringLiteral("Option1_2"),
                        QStringLiteral("獲得ポイント（今日の順位）"),
                        2,
                        {QStringLiteral("1Ⅱ山本　大翔  5/   11"),
                         QStringLiteral("1③佐藤　陽菜  5/    9")}},
                   });
        testing::saveScreenshot(*menu, QStringLiteral("level-menu-points-today"));
        QVERIFY(isShown(menu, QStringLiteral("Command8")));
    }

    void sixLevelsArePagedFourAtATimeAndPracticeListsAreNeverShown() {
        testing::MenuHostForTests host;
        writeRuns(host);
        AppState& state = host.state();
        state.profile.LevelCount = 6;
        state.profile.LevelNames.at(6) = "レベル６練習";
        host.logIn(1);

        const auto opened = host.openMenu();
        seisekitime1& menu = *opened;
        QVERIFY(menu.menuReady());
        auto* scroll = menu.findChild<QScrollBar*>(QStringLiteral("HScroll1"));
        QVERIFY(scroll->isVisible());
        QCOMPARE(scroll->minimum(), 1);
        QCOMPARE(scroll->maximum(), 3);
        QWidget* area = menu.findChild<QWidget*>(QStringLiteral("Columns"));
        const auto columnsInView = [&] {
            QList<int> levels;
            for (int level = 1; level <= 6; ++level) {
                const QWidget* column =
                    menu.findChild<QWidget*>(QStringLiteral("Column_%1").arg(level));
                if (area->rect().intersects(column->geometry())) levels.append(level);
            }
            return levels;
        };
        QCOMPARE(columnsInView(), (QList<int>{1, 2, 3, 4}));
        testing::saveScreenshot(menu, QStringLiteral("level-menu-six-levels"));
        scroll->setValue(3);
        QCOMPARE(columnsInView(), (QList<int>{3, 4, 5, 6}));
        QCOMPARE(state.menu.FirstColumn, 3);
        QVERIFY(menu.findChild<QWidget*>(QStringLiteral("Column_3"))->x() == 0);
        scroll->setValue(2);
        QCOMPARE(columnsInView(), (QList<int>{2, 3, 4, 5}));

        // The practice level's ranking is filled but never shown; its best times not filled.
        auto* practice = menu.findChild<QListWidget*>(QStringLiteral("List5_6"));
        QVERIFY(!practice->isVisible());
        QCOMPARE(practice->count(), 31);
        QVERIFY(menu.findChild<QListWidget*>(QStringLiteral("List5_5"))->isVisible());
        menu.findChild<QRadioButton*>(QStringLiteral("Option2_0"))->click();
        QVERIFY(!practice->isVisible());
        QCOMPARE(practice->count(), 0);
        QVERIFY(!menu.findChild<QLabel*>(QStringLiteral("Label7_6"))->isVisible());

        // A fresh menu keeps the page.
        const auto again = host.openMenu();
        QCOMPARE(again->findChild<QScrollBar*>(QStringLiteral("HScroll1"))->value(), 2);
    }

    // Long and five-digit times on a crowded day: every row of every run list shows whole in
    // its column, the time included, however many rows the list holds.
    void noTimeOfARunListIsCut() {
        testing::MenuHostForTests host;
        std::vector<ResultRecord> runs;
        const std::int32_t times[] = {1997, 1908, 12345, 89999, 99998, 99999};
        // Five students, so that the logged-in one has each of the times too.
        for (int i = 0; i < 60; ++i) {
            const int student = 1 + i % 5;
            runs.push_back(testing::runRecord(student, 1, times[i % 6], {2026, 12, 10},
                                              clockOf(8 + i / 10, i % 60)));
        }
        runs.push_back(testing::runRecord(1, 1, 45, {2026, 12, 9}));
        testing::appendRecords(host.resultsFile(), runs);
        host.logIn(1);
        const auto opened = host.openMenu();
        seisekitime1* menu = opened.get();
        auto* list = menu->findChild<QListWidget*>(QStringLiteral("List5_1"));
        act(menu, QStringLiteral("Option2_0"));
        for (const QString& action : {QStringLiteral("Option1_2"), QStringLiteral("Option1_3"),
                                      QStringLiteral("Option2_1"), QStringLiteral("Option2_2")}) {
            act(menu, action);
            QVERIFY2(list->count() > 0, qPrintable(action));
            QCoreApplication::processEvents();
            const QStringList rows = rowsOf(list);
            for (const std::int32_t seconds : {1997, 1908, 12345}) {
                const QString time = QString::number(seconds) + QStringLiteral("秒");
                QVERIFY2(!rows.filter(time).isEmpty(),
                         qPrintable(action + QStringLiteral(": ") + time));
            }
            QVERIFY2(list->horizontalScrollBar()->maximum() == 0 ||
                         !list->horizontalScrollBar()->isVisible(),
                     qPrintable(action));
            const int margin = (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) * 2;
            for (int row = 0; row < list->count(); ++row) {
                const QString text = list->item(row)->text();
                const int needed = list->fontMetrics().horizontalAdvance(text) + margin;
                QVERIFY2(needed <= list->viewport()->width(),
                         qPrintable(QStringLiteral("%1: \"%2\" needs %3 of %4")
                                        .arg(action, text)
                                        .arg(needed)
                                        .arg(list->viewport()->width())));
            }
            testing::saveScreenshot(*menu, QStringLiteral("level-menu-long-times-") + action);
        }
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::MenuViewsTest)
#include "MenuViewsTest.moc"

#include <QDir>
#include <QListWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

#include "kit/ProgramApplication.h"
#include "support/DemoInstallation.h"
#include "support/GraphLayoutProblems.h"
#include "support/MenuHostForTests.h"
#include "support/RecordFiles.h"
#include "support/Screenshots.h"
#include "windows/menu/GraphPanel.h"
#include "windows/menu/GraphView.h"

namespace gaisan {

using testing::shown;

namespace {

/// Runs of 佐藤 (student 1) on levels 1 to 3, ever faster on level 1, and of 鈴木 (student 2) on
/// level 1, over the months before the demo's today, 2026-12-10.
void writeRuns(const testing::MenuHostForTests& host) {
    std::vector<ResultRecord> runs;
    const int times[] = {80, 72, 75, 60, 64, 55, 50, 58, 47};
    for (int i = 0; i < 9; ++i) {
        runs.push_back(testing::runRecord(1, 1, times[i],
                                          dateOfSerial(daySerial({2026, 12, 10}) - 90 + 10 * i)));
    }
    runs.push_back(testing::runRecord(1, 2, 95, {2026, 11, 1}));
    runs.push_back(testing::runRecord(1, 3, 130, {2026, 11, 2}));
    runs.push_back(testing::runRecord(2, 1, 66, {2026, 12, 1}));
    testing::appendRecords(host.resultsFile(), runs);
}

QStringList pageTexts(const GraphPanel& panel) {
    QStringList texts;
    for (const GraphText& text : panel.view().page().texts)
        texts.append(QString::fromStdString(text.text));
    return texts;
}

/// The page the panel shows is laid out well, measured in the screen's own font.
void expectLaidOut(const GraphPanel& panel) {
    const std::vector<std::string> problems =
        testing::layoutProblems(panel.view().page(), panel.view().surface());
    QStringList sentences;
    for (const std::string& problem : problems) sentences << QString::fromStdString(problem);
    QVERIFY2(problems.empty(), qPrintable(sentences.join(u'|')));
}

/// Renders the pages of `pdf` as PNG files in `folder`, keeping them (and the PDF) beside the
/// screenshots under `name` for a person to look at; returns the pages' file names.
QStringList renderPages(const QString& pdf, const QDir& folder, const QString& name) {
    if (QProcess::execute(QStringLiteral("pdftoppm"),
                          {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"), pdf,
                           folder.filePath(QStringLiteral("page"))}) != 0) {
        return {};
    }
    const QStringList rendered =
        folder.entryList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    const QString keep = qEnvironmentVariable("GAISAN_SCREENSHOT_DIR");
    if (!keep.isEmpty()) {
        QDir().mkpath(keep);
        QFile::remove(QDir(keep).filePath(name + QStringLiteral(".pdf")));
        QFile::copy(pdf, QDir(keep).filePath(name + QStringLiteral(".pdf")));
        for (const QString& page : rendered) {
            const QString kept = QDir(keep).filePath(name + QStringLiteral("-") + page);
            QFile::remove(kept);
            QFile::copy(folder.filePath(page), kept);
        }
    }
    return rendered;
}

GraphPanel* openGraphs(seisekitime1* menu) {
    menu->findChild<QRadioButton*>(QStringLiteral("Option2_2"))->click();
    auto* graph = menu->findChild<QPushButton*>(QStringLiteral("Command17"));
    if (!QTest::qWaitFor([&] { return graph->isVisible() && graph->isEnabled(); })) return nullptr;
    graph->click();
    auto* panel = menu->findChild<GraphPanel*>(QStringLiteral("Picture11"));
    return panel && panel->isVisible() ? panel : nullptr;
}

}  // namespace

/// The graph panel of the level menu: a child's own graphs from the personal view, another
/// student's, and the teacher's print of two students to a PDF file.
class GraphWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }

    void aChildOpensTheirGraphsAndLooksAtAnotherStudents() {
        testing::MenuHostForTests host;
        writeRuns(host);
        host.logIn(1);  // 佐藤
        const auto opened = host.openMenu();
        seisekitime1* menu = opened.get();
        GraphPanel* panel = openGraphs(menu);
        QVERIFY(panel);
        QCOMPARE(panel->graphStudent(), 1);
        auto* levels = panel->findChild<QListWidget*>(QStringLiteral("List3"));
        QCOMPARE(levels->count(), 4);
        QCOMPARE(levels->selectedItems().size(), 3);
        QVERIFY(!panel->findChild<QPushButton*>(QStringLiteral("Command24_1"))->isVisible());
        const QStringList texts = pageTexts(*panel);
        QVERIFY(texts.contains(QStringLiteral("佐藤　陽菜")));
        for (const QString& level :
             {QStringLiteral("１"), QStringLiteral("２"), QStringLiteral("３")}) {
            QVERIFY2(texts.contains(QStringLiteral("概算 レベル") + level),
                     qPrintable(texts.join(u'|')));
        }
        QVERIFY(texts.contains(QStringLiteral("回数　　　　　　　  9回")));
        // Level 1's runs: 80, 72, 60, 55, 50 and 47 are records, the others are not.
        std::size_t red = 0;
        for (const GraphDot& dot : panel->view().page().dots) red += dot.colour == kGraphRed;
        QCOMPARE(red, std::size_t{6 + 1 + 1});
        // Measured in the screen's own font, no text touches another or leaves its part.
        expectLaidOut(*panel);
        testing::saveScreenshot(*menu, QStringLiteral("graph-panel"));

        // Only level 1 now, then the other student's graph.
        levels->item(1)->setSelected(false);
        levels->item(2)->setSelected(false);
        panel->findChild<QPushButton*>(QStringLiteral("Command24_0"))->click();
        QCOMPARE(pageTexts(*panel).filter(QStringLiteral("概算 レベル")).size(), 1);
        auto* others = panel->findChild<QPushButton*>(QStringLiteral("Command25"));
        others->click();
        auto* students = panel->findChild<QListWidget*>(QStringLiteral("List2"));
        QVERIFY(students->isVisible());
        // Every grade, name and number fits without scrolling sideways, the longest name of the
        // roster (勅使河原　美咲, seven characters) included.
        QCoreApplication::processEvents();
        QVERIFY(!students->horizontalScrollBar()->isVisible());
        for (int row = 0; row < students->count(); ++row) {
            const QString text = students->item(row)->text();
            QVERIFY2(
                students->visualItemRect(students->item(row)).width() <=
                        students->viewport()->width() &&
                    students->fontMetrics().horizontalAdvance(text) < students->viewport()->width(),
                qPrintable(text));
        }
        const int row = testing::rowContaining(students, QStringLiteral("鈴木"));
        QVERIFY(row >= 0);
        QVERIFY2(students->item(row)->text().endsWith(QStringLiteral("/2")),
                 qPrintable(students->item(row)->text()));
        students->item(row)->setSelected(true);
        emit students->itemClicked(students->item(row));
        QCOMPARE(panel->graphStudent(), 2);
        QVERIFY(pageTexts(*panel).contains(QStringLiteral("鈴木　蓮")));
        QVERIFY(pageTexts(*panel).contains(QStringLiteral("回数　　　　　　　  1回")));
        testing::saveScreenshot(*menu, QStringLiteral("graph-panel-other-student"));

        panel->findChild<QPushButton*>(QStringLiteral("Command18"))->click();
        QVERIFY(!panel->isVisible());
        QVERIFY(host.requests.empty());
    }

    void theSheetShowsTheTotalPointsWhicheverPointsListWasShownLast() {
        testing::MenuHostForTests host;
        writeRuns(host);  // none of them today
        host.logIn(1);
        const auto opened = host.openMenu();
        seisekitime1* menu = opened.get();
        menu->findChild<QRadioButton*>(QStringLiteral("Option2_1"))->click();
        auto* today = menu->findChild<QRadioButton*>(QStringLiteral("Option1_2"));
        QCOMPARE(today->text(), QStringLiteral("合計本日"));
        today->click();
        GraphPanel* panel = openGraphs(menu);
        QVERIFY(panel);
        const QStringList texts = pageTexts(*panel);
        QVERIFY2(texts.contains(QStringLiteral("　　獲得ポイント   41点")),
                 qPrintable(texts.join(u'|')));
        QVERIFY(texts.contains(QStringLiteral("　　順位　　　　    1位")));
    }

    void theTeacherPrintsTwoStudentsToAPdfFileOnePageEach() {
        testing::MenuHostForTests host;
        writeRuns(host);
        host.logIn(999);  // 先生
        const auto opened = host.openMenu();
        seisekitime1* menu = opened.get();
        GraphPanel* panel = openGraphs(menu);
        QVERIFY(panel);
        auto* print = panel->findChild<QPushButton*>(QStringLiteral("Command24_1"));
        QVERIFY(print->isVisible());
        const QString pdf = QDir(host.suite.path().c_str()).filePath(QStringLiteral("graphs.pdf"));
        panel->setPrinterChooser([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        panel->findChild<QPushButton*>(QStringLiteral("Command25"))->click();
        auto* students = panel->findChild<QListWidget*>(QStringLiteral("List2"));
        for (const QString& name : {QStringLiteral("佐藤"), QStringLiteral("鈴木")}) {
            students->item(testing::rowContaining(students, name))->setSelected(true);
        }
        print->click();
        QVERIFY(QFileInfo(pdf).size() > 0);
        QCOMPARE(
            renderPages(pdf, QDir(host.suite.path().c_str()), QStringLiteral("graph-print")).size(),
            2);
    }

    // A child's long fall from just below the axis' end in small steps, with a time-up and a
    // run of over half an hour: on screen and on paper every label stays clear of the others
    // and of the best line, and the run count says what it leaves out.
    void aCrowdedGraphKeepsItsLabelsClearAndSaysWhichRunsItLeavesOut() {
        testing::MenuHostForTests host;
        std::vector<ResultRecord> runs;
        const int today = daySerial({2026, 12, 10});
        for (int i = 0; i < 30; ++i) {
            runs.push_back(
                testing::runRecord(1, 1, 133 - 2 * i - i % 3, dateOfSerial(today - 90 + 3 * i)));
        }
        runs.push_back(testing::runRecord(1, 1, 99999, dateOfSerial(today - 2)));
        runs.push_back(testing::runRecord(1, 1, 1997, dateOfSerial(today - 1)));
        testing::appendRecords(host.resultsFile(), runs);
        host.logIn(999);  // 先生
        const auto opened = host.openMenu();
        seisekitime1* menu = opened.get();
        GraphPanel* panel = openGraphs(menu);
        QVERIFY(panel);
        panel->findChild<QPushButton*>(QStringLiteral("Command25"))->click();
        auto* students = panel->findChild<QListWidget*>(QStringLiteral("List2"));
        QListWidgetItem* sato =
            students->item(testing::rowContaining(students, QStringLiteral("佐藤")));
        sato->setSelected(true);
        emit students->itemClicked(sato);
        QCOMPARE(panel->graphStudent(), 1);
        const QString count = QStringLiteral("回数　　　　　　　 30回（ほかに1800秒以上 2回）");
        const QStringList texts = pageTexts(*panel);
        QVERIFY2(texts.contains(count), qPrintable(texts.join(u'|')));
        // The axis' ends, the first time just below the top and the newest best keep a place.
        for (const QString& label : {QStringLiteral("140秒"), QStringLiteral("133秒"),
                                     QStringLiteral("0秒"), QStringLiteral("73秒")}) {
            QVERIFY2(texts.contains(label),
                     qPrintable(label + QStringLiteral(": ") + texts.join(u'|')));
        }
        expectLaidOut(*panel);
        testing::saveScreenshot(*menu, QStringLiteral("graph-panel-crowded"));

        const QDir folder(host.suite.path().c_str());
        const QString pdf = folder.filePath(QStringLiteral("crowded.pdf"));
        panel->setPrinterChooser([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        panel->findChild<QPushButton*>(QStringLiteral("Command24_1"))->click();
        QCOMPARE(renderPages(pdf, folder, QStringLiteral("graph-print-crowded")).size(), 1);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(printed.contains(QStringLiteral("30回（ほかに1800秒以上 2回）")),
                 qPrintable(printed));
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::GraphWindowsTest)
#include "GraphWindowsTest.moc"

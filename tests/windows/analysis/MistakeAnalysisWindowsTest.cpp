#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QTest>

#include <cerrno>
#include <fstream>

#include "kit/ProgramApplication.h"
#include "platform/SystemErrorText.h"
#include "rules/analysis/MistakeKinds.h"
#include "stores/results/AnswersFile.h"
#include "support/JudgedAnswers.h"
#include "support/MistakeAnalysisHostForTests.h"
#include "support/Screenshots.h"
#include "windows/analysis/MistakeAnalysisWindow.h"
#include "windows/analysis/TrendPainter.h"
#include "windows/analysis/TrendView.h"

namespace gaisan {
namespace {

using testing::answerAtHundreds;

/// Weeks of runs for 佐藤 (1), who forgets to round up less and less, and one run for
/// 勅使河原 (26), who copies the numbers and rounds
/// down what rounds up.
void recordClass(testing::MistakeAnalysisHostForTests& host) {
    const int today = daySerial({2026, 12, 10});
    for (int week = 0; week < 8; ++week) {
        std::vector<AnswerRecord> answers;
        for (int i = 0; i < 10; ++i) {
            answers.push_back(i < 8 - week
                                  ? answerAtHundreds(450 + i, 1230, {"400", "1200", "1600"})
                                  : answerAtHundreds(450 + i, 1230, {"500", "1200", "1700"}));
        }
        host.recordRun(1, 2, dateOfSerial(today - 7 * (7 - week)), answers);
    }
    host.recordRun(26, 1, {2026, 12, 9},
                   {answerAtHundreds(348, 1275, {"348", "1275", "1623"}),
                    answerAtHundreds(612, 2049, {"700", "2000", "2700"})});
}

MistakeAnalysisWindow* openWindow(testing::MistakeAnalysisHostForTests& host,
                                  std::unique_ptr<MistakeAnalysisWindow>& window) {
    window = std::make_unique<MistakeAnalysisWindow>(host);
    window->Form_Load();
    window->resize(DesignCanvas::kDesignWidth, DesignCanvas::kDesignHeight);
    window->show();
    return window.get();
}

template <typename T>
T* child(QWidget* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

QString text(QWidget* window, const char* name) { return child<QLabel>(window, name)->text(); }

/// Every page the PDF file holds, by counting its page objects.
int pdfPages(const QString& file) {
    QFile pdf(file);
    if (!pdf.open(QIODevice::ReadOnly)) return -1;
    const QByteArray bytes = pdf.readAll();
    return static_cast<int>(bytes.count("/Type /Page\n")) +
           static_cast<int>(bytes.count("/Type /Page\r")) +
           static_cast<int>(bytes.count("/Type /Page ")) +
           static_cast<int>(bytes.count("/Type /Page/"));
}

/// Every cell of `table` shows whole: each of its lines fits its column's width, its lines fit
/// its row's height, and the columns fit without a sideways scroll. Empty when so, else the
/// first cell that does not.
QString cutCell(QTableWidget* table) {
    if (table->horizontalHeader()->length() > table->viewport()->width())
        return table->objectName() + QStringLiteral(": wider than its view");
    const QFontMetrics metrics(table->font());
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            const QString cell = table->item(row, column)->text();
            const QStringList lines = cell.split(u'\n');
            int widest = 0;
            for (const QString& line : lines)
                widest = std::max(widest, metrics.horizontalAdvance(line));
            // The item's text keeps a few pixels from the grid on either side.
            if (widest + 6 > table->columnWidth(column) ||
                metrics.lineSpacing() * lines.size() > table->rowHeight(row)) {
                return table->objectName() + QStringLiteral(": ") + cell;
            }
        }
    }
    return {};
}

/// The chart of a week of answers `weeks` times over, ending in the week of Monday 12/28, the
/// widest labels; with `manyKinds`, the longest names drawn and every other kind left out.
Trend weeksEndingInDecember(int weeks, bool manyKinds) {
    const int last = daySerial({2026, 12, 28});
    std::vector<AnswerRecord> week = {answerAtHundreds(450, 1230, {"500", "1200", "1700"}),
                                      answerAtHundreds(450, 1230, {"400", "1200", "1700"})};
    if (manyKinds) {
        for (const auto& boxes : std::vector<std::array<std::string, 3>>{{"400", "1200", "1600"},
                                                                         {"450", "1200", "1700"},
                                                                         {"500", "1230", "1680"},
                                                                         {"500", "1200", "1600"},
                                                                         {"500", "1200", ""},
                                                                         {"500", "12", "1700"},
                                                                         {"500", "12000", "1700"},
                                                                         {"1200", "500", "1700"},
                                                                         {"500", "1000", "1500"}}) {
            week.push_back(answerAtHundreds(450, 1230, boxes));
        }
    }
    MistakeSummary summary;
    for (int i = 0; i < weeks; ++i) {
        summary.add(RunAnswers{{static_cast<double>(last - 7 * i), 0.5, 1, 1}, week});
    }
    return weeklyTrend(summary, last);
}

/// How far apart two rectangles are: the larger of their gaps across and up, 0 or less when
/// they overlap.
double apart(const QRectF& a, const QRectF& b) {
    return std::max(std::max(a.left() - b.right(), b.left() - a.right()),
                    std::max(a.top() - b.bottom(), b.top() - a.bottom()));
}

}  // namespace

/// The teacher's mistake analysis: the class and one student on the screen, the printed pages
/// as a PDF file, and a period without answers.
class MistakeAnalysisWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpApplication(); }

    void theTeacherSeesTheClassThenOneChildAndTheirExamples() {
        testing::MistakeAnalysisHostForTests host;
        recordClass(host);
        // The teacher tries the drill too: those answers are no child's.
        host.recordRun(999, 1, {2026, 12, 8},
                       {answerAtHundreds(450, 1230, {"400", "1200", "1600"}),
                        answerAtHundreds(450, 1230, {"400", "1200", "1600"})});
        std::unique_ptr<MistakeAnalysisWindow> owner;
        MistakeAnalysisWindow* window = openWindow(host, owner);
        // Nothing placed on the screen lies over anything else.
        const QList<QWidget*> placed = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < placed.size(); ++i) {
            for (qsizetype j = i + 1; j < placed.size(); ++j) {
                QVERIFY2(!window->designRect(placed[i]).intersects(window->designRect(placed[j])),
                         qPrintable(placed[i]->objectName() + " / " + placed[j]->objectName()));
            }
        }
        child<QComboBox>(window, "periodBox")->setCurrentIndex(static_cast<int>(Period::Year) - 1);
        child<QPushButton>(window, "analyseButton")->click();
        QCOMPARE(host.reads, 1);
        auto* subjects = child<QComboBox>(window, "subjectBox");
        auto* studentList = child<QListWidget>(window, "studentList");
        const int students = studentList->count();
        QVERIFY(students >= 26);
        QVERIFY(studentList->findItems(QStringLiteral("先生"), Qt::MatchContains).isEmpty());
        QCOMPARE(subjects->count(), 1 + students);
        QCOMPARE(subjects->itemText(0), QStringLiteral("全学年の全員（%1人）").arg(students));
        QCOMPARE(text(window, "countsLabel"),
                 QStringLiteral("答えた数 82問　正解 44問　まちがい 38問（46%）"));
        // Each wrong rounding of the class was added right: that is the most common kind.
        QCOMPARE(text(window, "weakestLabel"),
                 QStringLiteral("いちばんの課題：たし算は正しい（概数の誤り）（48%）"));
        QVERIFY(text(window, "notesLabel")
                    .contains(QStringLiteral("答えのある生徒：2人／%1人").arg(students)));
        QCOMPARE(text(window, "trendCaption"),
                 QStringLiteral("週ごとの推移（答えた数のうちの割合）"));
        // The class found more kinds than the chart draws: it says which it leaves out.
        const Trend& classTrend = child<TrendView>(window, "trendView")->trend();
        QVERIFY(classTrend.leftOutNote.starts_with("グラフにないまちがい："));
        testing::saveScreenshot(*window, QStringLiteral("mistake-analysis-class"));

        // 佐藤 alone: eight weeks, ever fewer mistakes, and the newest example first.
        window->showSubject(1);
        QCOMPARE(text(window, "countsLabel"),
                 QStringLiteral("答えた数 80問　正解 44問　まちがい 36問（45%）"));
        const Trend& trend = child<TrendView>(window, "trendView")->trend();
        QCOMPARE(trend.mondays.size(), std::size_t{8});
        QCOMPARE(trend.labels.back(), std::string("12/7の週"));
        QVERIFY(trend.series[0].values.front() > trend.series[0].values.back());
        // One scale: no kind's line rises above the wrong answers' share it is part of.
        for (const TrendSeries& series : trend.series) {
            for (std::size_t week = 0; week < trend.mondays.size(); ++week)
                QVERIFY(series.values.at(week) <= trend.series[0].values.at(week));
        }
        // Each wrong answer forgot to round up and added its own roundings right: both named,
        // whole.
        auto* weakest = child<QLabel>(window, "weakestLabel");
        QCOMPARE(
            weakest->text(),
            QStringLiteral("いちばんの課題：切り上げ忘れ・たし算は正しい（概数の誤り）（各50%）"));
        QVERIFY(weakest->wordWrap()
                    ? weakest->heightForWidth(weakest->width()) <= weakest->height()
                    : QFontMetrics(weakest->font()).horizontalAdvance(weakest->text()) <=
                          weakest->width());
        auto* examples = child<QTableWidget>(window, "exampleTable");
        QCOMPARE(child<QComboBox>(window, "exampleKindBox")->currentText(),
                 QStringLiteral("切り上げ忘れ"));
        QCOMPARE(examples->rowCount(), static_cast<int>(MistakeSummary::kExamplesPerKind));
        QCOMPARE(examples->item(0, 0)->text(), QStringLiteral("12/10"));
        QCOMPARE(examples->item(0, 2)->text(), QStringLiteral("400／1200／1600"));
        QCOMPARE(examples->item(0, 3)->text(), QStringLiteral("500／1200／1700"));
        QCOMPARE(examples->item(0, 4)->text(),
                 QStringLiteral("切り上げ忘れ\nたし算は正しい（概数の誤り）"));
        QVERIFY2(cutCell(examples).isEmpty(), qPrintable(cutCell(examples)));
        auto* kinds = child<QTableWidget>(window, "kindTable");
        QVERIFY2(cutCell(kinds).isEmpty(), qPrintable(cutCell(kinds)));
        testing::saveScreenshot(*window, QStringLiteral("mistake-analysis"));

        // The child with the longest name, who copied the numbers.
        const int tesshigawara = subjects->findText(QStringLiteral("勅使河原　美咲"));
        QVERIFY(tesshigawara > 0);
        window->showSubject(tesshigawara);
        QCOMPARE(text(window, "countsLabel"),
                 QStringLiteral("答えた数 2問　正解 0問　まちがい 2問（100%）"));
        QVERIFY(kinds->rowCount() >= 2);
        QVERIFY2(cutCell(kinds).isEmpty(), qPrintable(cutCell(kinds)));
        QVERIFY2(cutCell(examples).isEmpty(), qPrintable(cutCell(examples)));
        testing::saveScreenshot(*window, QStringLiteral("mistake-analysis-one-run"));
        // A child without answers in the period.
        window->showSubject(subjects->findText(QStringLiteral("鈴木　蓮（答えなし）")));
        QCOMPARE(text(window, "countsLabel"),
                 QStringLiteral("この期間に記録された答えはありません"));
        QCOMPARE(examples->rowCount(), 0);

        child<QPushButton>(window, "backButton")->click();
        QCOMPARE(host.requests, std::vector<std::string>{"menu"});
    }

    void pagesPrintOnePerChildWithAnswersAndOneClassSummary() {
        testing::MistakeAnalysisHostForTests host;
        recordClass(host);
        std::unique_ptr<MistakeAnalysisWindow> owner;
        MistakeAnalysisWindow* window = openWindow(host, owner);
        child<QComboBox>(window, "periodBox")->setCurrentIndex(static_cast<int>(Period::Year) - 1);
        window->analyse();
        const QString folder = qEnvironmentVariable("GAISAN_SCREENSHOT_DIR").isEmpty()
                                   ? QString::fromStdString(host.suite.path().string())
                                   : qEnvironmentVariable("GAISAN_SCREENSHOT_DIR");
        QString pdf;
        window->setPrinterChooser([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        });
        pdf = QDir(folder).filePath(QStringLiteral("mistake-analysis-students.pdf"));
        QVERIFY(window->printStudentPages());
        QCOMPARE(pdfPages(pdf), 2);
        pdf = QDir(folder).filePath(QStringLiteral("mistake-analysis-summary.pdf"));
        QVERIFY(window->printSummaryPage());
        // Every child of the roster has a row: they need a second page.
        QVERIFY(pdfPages(pdf) >= 1);
        QVERIFY(host.requests.empty());
    }

    void chartTextsStayApart_data() {
        QTest::addColumn<int>("weeks");
        QTest::addColumn<bool>("onPaper");
        QTest::addColumn<bool>("manyKinds");
        for (const int weeks : {1, 2, 8, 9, 13, 26}) {
            for (const bool manyKinds : {false, true}) {
                const char* kinds = manyKinds ? ", kinds left out" : "";
                QTest::addRow("%d weeks on the screen%s", weeks, kinds)
                    << weeks << false << manyKinds;
                QTest::addRow("%d weeks on paper%s", weeks, kinds) << weeks << true << manyKinds;
            }
        }
    }

    /// Every text of the chart is measured where it is drawn: none leaves the chart, none lies
    /// over another, and the labels of the axes keep half a space from everything else ("0%"
    /// and the first week's label touched on paper).
    void chartTextsStayApart() {
        QFETCH(int, weeks);
        QFETCH(bool, onPaper);
        QFETCH(bool, manyKinds);
        const Trend trend = weeksEndingInDecember(weeks, manyKinds);
        QCOMPARE(trend.mondays.size(), static_cast<std::size_t>(weeks));
        QCOMPARE(trend.leftOutNote.empty(), !manyKinds);
        QPrinter printer(QPrinter::HighResolution);
        QWidget screen;
        QFont font = QApplication::font();
        QRectF area(4, 4, 328, 188);  // the screen's chart
        QPaintDevice* device = &screen;
        if (onPaper) {
            font.setPointSizeF(10.5);
            device = &printer;
            area = QRectF(0, 0, printer.width() * 0.9, printer.height() * 0.24);
        } else {
            font.setPixelSize(12);
        }
        const TrendTexts texts = trendTexts(area, trend, font, device);
        const std::vector<WeekLabel>& labels = texts.weeks;
        QVERIFY(!labels.empty());
        QCOMPARE(labels.front().week, std::size_t{0});
        QCOMPARE(texts.leftOutNote.isEmpty(), !manyKinds);
        std::vector<QRectF> axis;
        for (const WeekLabel& label : labels) axis.push_back(label.box);
        axis.insert(axis.end(), texts.percents.begin(), texts.percents.end());
        std::vector<QRectF> all = axis;
        all.insert(all.end(), texts.legend.begin(), texts.legend.end());
        if (manyKinds) all.push_back(texts.leftOutNote);
        const double halfSpace =
            QFontMetricsF(font, device).horizontalAdvance(QStringLiteral("　")) / 2;
        for (std::size_t i = 0; i < all.size(); ++i) {
            QVERIFY2(area.contains(all[i]), qPrintable(QString::number(i)));
            for (std::size_t j = i + 1; j < all.size(); ++j) {
                const double gap = apart(all[i], all[j]);
                QVERIFY2(gap >= (i < axis.size() ? halfSpace : 0.0),
                         qPrintable(QStringLiteral("%1 and %2: %3").arg(i).arg(j).arg(gap)));
            }
        }
        // Each week's label stands centred under the week's point, between the labels beside.
        for (std::size_t i = 1; i < labels.size(); ++i) {
            QVERIFY(labels[i - 1].box.center().x() < labels[i].box.center().x());
        }
        // Not sparser than it must be: a week fitting between two labels would have been drawn.
        if (weeks <= 8 && !onPaper) QVERIFY(labels.size() >= 3 || weeks < 3);
    }

    /// A folder stands where 勅使河原's answers belong, and a file where last school year's
    /// folder does: the class is analysed without them, and the screen names both.
    void answersThatCannotBeReadAreNamedOnTheScreen() {
        testing::MistakeAnalysisHostForTests host;
        recordClass(host);
        const std::filesystem::path lost = answersFileOf(host.resultsFile(), 2026, 26);
        std::filesystem::remove(lost);
        std::filesystem::create_directory(lost);
        std::ofstream(answersFolderOf(host.resultsFile(), 2025)) << "not a folder";
        std::unique_ptr<MistakeAnalysisWindow> owner;
        MistakeAnalysisWindow* window = openWindow(host, owner);
        child<QComboBox>(window, "periodBox")->setCurrentIndex(static_cast<int>(Period::Year) - 1);
        window->analyse();
        QCOMPARE(text(window, "countsLabel"),
                 QStringLiteral("答えた数 80問　正解 44問　まちがい 36問（45%）"));
        auto* notes = child<QLabel>(window, "notesLabel");
        const QStringList lines = notes->text().split(u'\n');
        QVERIFY2(lines.contains(QStringLiteral("読めないファイル：成績解答データ2025: ") +
                                QString::fromStdString(systemErrorText(ENOTDIR))),
                 qPrintable(notes->text()));
        QVERIFY2(
            lines.contains(QStringLiteral("読めないファイル：成績解答データ2026/生徒0026.dat: ") +
                           QString::fromStdString(notRegularFileText())),
            qPrintable(notes->text()));
        // Every line can be read: the notes scroll within their corner, never sideways.
        QCoreApplication::processEvents();
        auto* area = child<QScrollArea>(window, "notesArea");
        QCOMPARE(notes->width(), area->viewport()->width());
        QVERIFY(notes->height() >= notes->heightForWidth(notes->width()));
        QVERIFY(notes->height() > area->viewport()->height());
        testing::saveScreenshot(*window, QStringLiteral("mistake-analysis-unreadable"));
    }

    void aPeriodWithoutAnswersSaysSoAndPrintsNoChildPages() {
        testing::MistakeAnalysisHostForTests host;
        recordClass(host);
        std::unique_ptr<MistakeAnalysisWindow> owner;
        MistakeAnalysisWindow* window = openWindow(host, owner);
        child<QComboBox>(window, "periodBox")
            ->setCurrentIndex(static_cast<int>(Period::ThisWeek) - 1);
        // Only level 3, which nobody ran.
        child<QListWidget>(window, "levelList")->item(2)->setSelected(true);
        window->analyse();
        QCOMPARE(text(window, "countsLabel"),
                 QStringLiteral("この期間に記録された答えはありません"));
        QVERIFY(!child<QPushButton>(window, "printStudentsButton")->isEnabled());
        QVERIFY(child<TrendView>(window, "trendView")->trend().mondays.empty());
        testing::saveScreenshot(*window, QStringLiteral("mistake-analysis-no-answers"));
    }
};

}  // namespace gaisan

QTEST_MAIN(gaisan::MistakeAnalysisWindowsTest)
#include "MistakeAnalysisWindowsTest.moc"

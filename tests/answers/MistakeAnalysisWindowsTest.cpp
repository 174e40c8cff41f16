#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "answers/MistakeKinds.h"
#include "answers/windows/MistakeAnalysisWindow.h"
#include "answers/windows/TrendPainter.h"
#include "answers/windows/TrendView.h"
#include "app/windows/ProgramApplication.h"
#include "support/JudgedAnswers.h"
#include "support/MistakeAnalysisHostForTests.h"
#include "support/Screenshots.h"

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

/// A chart of `weeks` weeks ending on Monday 12/28, the widest labels.
Trend weeksEndingInDecember(std::size_t weeks) {
    Trend trend;
    const int last = daySerial({2026, 12, 28});
    TrendSeries share{"まちがいの割合", std::nullopt, {}};
    for (std::size_t week = 0; week < weeks; ++week) {
        const int monday = last - 7 * static_cast<int>(weeks - 1 - week);
        const CivilDate date = dateOfSerial(monday);
        trend.mondays.push_back(monday);
        trend.labels.push_back(std::to_string(date.month) + "/" + std::to_string(date.day));
        share.values.push_back(0.5);
    }
    trend.series.push_back(share);
    return trend;
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
        QVERIFY(text(window, "weakestLabel")
                    .startsWith(QStringLiteral("いちばんの課題：切り上げ忘れ")));
        QVERIFY(text(window, "notesLabel")
                    .contains(QStringLiteral("答えのある生徒：2人／%1人").arg(students)));

        // 佐藤 alone: eight weeks, ever fewer mistakes, and the newest example first.
        window->showSubject(1);
        QCOMPARE(text(window, "countsLabel"),
                 QStringLiteral("答えた数 80問　正解 44問　まちがい 36問（45%）"));
        const Trend& trend = child<TrendView>(window, "trendView")->trend();
        QCOMPARE(trend.mondays.size(), std::size_t{8});
        QVERIFY(trend.series[0].values.front() > trend.series[0].values.back());
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

    void weekLabelsNeverTouch_data() {
        QTest::addColumn<int>("weeks");
        QTest::addColumn<bool>("onPaper");
        for (const int weeks : {1, 2, 8, 9, 13, 26}) {
            QTest::addRow("%d weeks on the screen", weeks) << weeks << false;
            QTest::addRow("%d weeks on paper", weeks) << weeks << true;
        }
    }

    /// The labels are measured where they are drawn, the first one nudged right of "0%" too.
    void weekLabelsNeverTouch() {
        QFETCH(int, weeks);
        QFETCH(bool, onPaper);
        const Trend trend = weeksEndingInDecember(static_cast<std::size_t>(weeks));
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
        const std::vector<WeekLabel> labels = trendWeekLabels(area, trend, font, device);
        QVERIFY(!labels.empty());
        QCOMPARE(labels.front().week, std::size_t{0});
        const double percents =
            QFontMetricsF(font, device).horizontalAdvance(QStringLiteral("100%"));
        QVERIFY(labels.front().box.left() >= area.left() + percents);
        for (std::size_t i = 0; i < labels.size(); ++i) {
            QVERIFY(labels[i].box.right() <= area.right());
            if (i > 0) QVERIFY(labels[i - 1].box.right() < labels[i].box.left());
        }
        // Not sparser than it must be: a week fitting between two labels would have been drawn.
        if (weeks <= 8 && !onPaper) QVERIFY(labels.size() >= 3 || weeks < 3);
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

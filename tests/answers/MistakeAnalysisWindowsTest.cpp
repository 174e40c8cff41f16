#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "answers/MistakeKinds.h"
#include "answers/windows/MistakeAnalysisWindow.h"
#include "answers/windows/TrendView.h"
#include "app/windows/ProgramApplication.h"
#include "support/MistakeAnalysisHostForTests.h"
#include "support/Screenshots.h"

namespace gaisan {
namespace {

/// An answer to first + second at the hundreds, its wrong boxes as the drill judges them.
AnswerRecord answer(int first, int second, std::array<std::string, 3> boxes, int tenths = 60) {
    AnswerRecord record;
    record.first = first;
    record.second = second;
    record.place = 2;
    record.problemType = 2;
    record.tenths = static_cast<std::uint16_t>(tenths);
    record.boxes = boxes;
    const AnswerMistakes kinds =
        mistakesOf(JudgedAnswer{first, second, 2, boxes[0], boxes[1], boxes[2]});
    record.wrongBoxes =
        static_cast<std::uint8_t>((kinds.roundedFirst.kind != MistakeKind::Correct) |
                                  (kinds.roundedSecond.kind != MistakeKind::Correct) << 1 |
                                  (kinds.sum.kind != MistakeKind::Correct) << 2);
    return record;
}

/// Weeks of runs for 佐藤 (1), who forgets to round up less and less, and one run for
/// 勅使河原 (26), who copies the numbers and rounds
/// down what rounds up.
void recordClass(testing::MistakeAnalysisHostForTests& host) {
    const int today = daySerial({2026, 12, 10});
    for (int week = 0; week < 8; ++week) {
        std::vector<AnswerRecord> answers;
        for (int i = 0; i < 10; ++i) {
            answers.push_back(i < 8 - week ? answer(450 + i, 1230, {"400", "1200", "1600"})
                                           : answer(450 + i, 1230, {"500", "1200", "1700"}));
        }
        host.recordRun(1, 2, dateOfSerial(today - 7 * (7 - week)), answers);
    }
    host.recordRun(
        26, 1, {2026, 12, 9},
        {answer(348, 1275, {"348", "1275", "1623"}), answer(612, 2049, {"700", "2000", "2700"})});
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
        const int students = child<QListWidget>(window, "studentList")->count();
        QVERIFY(students >= 26);
        QCOMPARE(subjects->count(), 1 + students);
        QCOMPARE(subjects->itemText(0), QStringLiteral("全学年の全員（%1人）").arg(students));
        QCOMPARE(text(window, "countsLabel"),
                 QStringLiteral("答えた数 82問　正解 44問　まちがい 38問（46%）"));
        QVERIFY(text(window, "weakestLabel")
                    .startsWith(QStringLiteral("いちばんの課題：切り上げ忘れ")));
        QVERIFY(text(window, "notesLabel").contains(QStringLiteral("答えのある生徒：2人")));

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
        testing::saveScreenshot(*window, QStringLiteral("mistake-analysis"));

        // The child with the longest name, who copied the numbers.
        const int tesshigawara = subjects->findText(QStringLiteral("勅使河原　美咲"));
        QVERIFY(tesshigawara > 0);
        window->showSubject(tesshigawara);
        QCOMPARE(text(window, "countsLabel"),
                 QStringLiteral("答えた数 2問　正解 0問　まちがい 2問（100%）"));
        QVERIFY(child<QTableWidget>(window, "kindTable")->rowCount() >= 2);
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

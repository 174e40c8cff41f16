// Progress graphs: three levels of one student drawn offscreen from a results file of 20000
// and 200000 records (only the newest 20000 are read), beside the raw baseline of reading the
// same bytes (the "x_baseline" counter is the ratio, measured in the same rounds); and a class
// of 30 students printed to a PDF file, three levels each, with the file's size.
// Run: QT_QPA_PLATFORM=offscreen build/bench/graph_bench

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <QPrinter>

#include <chrono>
#include <limits>
#include <map>
#include <random>

#include "Succeeds.h"
#include "platform/Calendar.h"
#include "platform/FileBytes.h"
#include "platform/PosixRecordFile.h"
#include "rules/menu/NewestRecords.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"
#include "windows/menu/GraphPainter.h"

namespace gaisan {
namespace {

constexpr int kStudents = 5000;
constexpr int kLevels = 4;
const CivilDate kToday{2026, 12, 10};

testing::TempFolder& folder() {
    static testing::TempFolder temporary;
    return temporary;
}

/// A results file of `records` runs over the last year, made once per size; students 1..30 run
/// often, so that their graphs have points.
const std::filesystem::path& resultsFileOf(int records) {
    static std::map<int, std::filesystem::path> files;
    auto [found, made] =
        files.try_emplace(records, folder() / ("results-" + std::to_string(records) + ".dat"));
    if (made) {
        std::mt19937 random(records);
        std::vector<ResultRecord> all;
        for (int i = 0; i < records; ++i) {
            const int student = i % 4 == 0 ? 1 + static_cast<int>(random() % 30)
                                           : 1 + static_cast<int>(random() % kStudents);
            all.push_back(
                testing::runRecord(student, 1 + static_cast<int>(random() % kLevels),
                                   20 + static_cast<int>(random() % 400),
                                   dateOfSerial(daySerial(kToday) - 365 + i * 365 / records)));
        }
        testing::appendRecords(found->second, all);
    }
    return found->second;
}

std::vector<LoadedRecord> newestRecords(const std::filesystem::path& file) {
    PosixRecordFile recordFile;
    std::vector<LoadedRecord> records;
    succeeds(readNewestRecords(recordFile, file, LoadedRecords::kLoadWindow, {},
                               [&](const LoadedRecord& record) { records.push_back(record); }),
             "newest records");
    return records;
}

GraphRequest requestFor(int student) {
    GraphRequest request;
    request.student = student;
    request.studentName = "生徒　" + std::to_string(student);
    request.subjectTitle = "概算";
    request.levels = {1, 2, 3};
    request.levelCount = kLevels;
    request.levelNames = {"", "レベル１", "レベル２", "レベル３", "レベル４"};
    request.today = daySerial(kToday);
    return request;
}

LevelStatistics someStatistics(int) { return {" 12", "  3", 47, 1234, 30}; }

void drawThreeLevels(benchmark::State& state) {
    const auto& file = resultsFileOf(static_cast<int>(state.range(0)));
    QImage surface(820, 612, QImage::Format_ARGB32_Premultiplied);
    double drawingSeconds = 0;
    double baselineSeconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::vector<LoadedRecord> records = newestRecords(file);
        const GraphSurface size = graphSurface(surface, surface.width(), surface.height(), false);
        const GraphDrawing drawing = drawProgressGraphs(
            requestFor(7), records, size, someStatistics, graphTextMeasure(QFont(), &surface));
        surface.fill(Qt::white);
        QPainter painter(&surface);
        paintGraphPage(painter, drawing.pages.back(), size);
        painter.end();
        const auto drawn = std::chrono::steady_clock::now();
        state.PauseTiming();
        const auto baselineStart = std::chrono::steady_clock::now();
        const std::string bytes =
            readFileBytes(file, std::numeric_limits<std::size_t>::max()).value();
        benchmark::DoNotOptimize(bytes.data());
        baselineSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - baselineStart).count();
        drawingSeconds += std::chrono::duration<double>(drawn - start).count();
        state.ResumeTiming();
    }
    state.counters["x_baseline"] = drawingSeconds / baselineSeconds;
}
BENCHMARK(drawThreeLevels)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);

void printClassToPdf(benchmark::State& state) {
    const std::vector<LoadedRecord> records = newestRecords(resultsFileOf(20000));
    const auto pdf = folder() / "class.pdf";
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        printer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&printer);
        const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
        const GraphSurface size = graphSurface(printer, page.width(), page.height(), true);
        const MeasureText measure = graphTextMeasure(painter.font(), &printer);
        for (int student = 1; student <= 30; ++student) {
            if (student > 1) printer.newPage();
            const GraphDrawing drawing =
                drawProgressGraphs(requestFor(student), records, size, someStatistics, measure);
            paintGraphPage(painter, drawing.pages.front(), size);
        }
        painter.end();
    }
    state.counters["pdf_kB"] = static_cast<double>(std::filesystem::file_size(pdf)) / 1000;
}
BENCHMARK(printClassToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace gaisan

#include "windows/analysis/MistakeAnalysisPrinter.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>

#include <algorithm>
#include <array>

#include "kit/QtConversions.h"
#include "windows/analysis/MistakeAnalysisHost.h"
#include "windows/analysis/TrendPainter.h"

namespace gaisan {
namespace {

constexpr double kPointSize = 10.5;
constexpr double kHeadingPointSize = 16;
constexpr double kLineSpread = 1.3;
// The chart takes this share of the page's height: room for about half a year of weeks.
constexpr double kChartShare = 0.24;

/// `text` in lines no wider than `width`, broken where the language allows or, for a word wider
/// than the width, anywhere: a printed page cannot be pointed at, so nothing on it is cut.
QStringList wrapped(const QString& text, const QFont& font, QPaintDevice* device, double width) {
    QTextLayout layout(text, font, device);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    if (lines.isEmpty()) lines << QString();
    return lines;
}

QStringList linesOf(const std::vector<std::string>& texts) {
    QStringList lines;
    for (const std::string& text : texts) lines << toQString(text);
    return lines;
}

/// Writes a page's lines from the top, going on to a new page when one is full.
class PageWriter {
public:
    PageWriter(QPrinter& printer, QPainter& painter)
        : m_printer(printer),
          m_painter(painter),
          m_area(printer.pageLayout().paintRectPixels(printer.resolution())),
          m_font(QApplication::font()) {
        m_font.setPointSizeF(kPointSize);
        m_bold = m_font;
        m_bold.setBold(true);
        m_heading = m_bold;
        m_heading.setPointSizeF(kHeadingPointSize);
        m_line = QFontMetricsF(m_font, &printer).lineSpacing() * kLineSpread;
        m_em = QFontMetricsF(m_font, &printer).horizontalAdvance(QStringLiteral("　"));
    }

    double width() const { return m_area.width(); }
    double em() const { return m_em; }
    const QFont& font() const { return m_font; }

    /// Starts a page after the first.
    void nextPage() {
        if (m_started) m_printer.newPage();
        m_started = true;
        m_y = 0;
    }
    /// Leaves room for `height`, going on to a new page when it does not fit.
    double take(double height) {
        if (m_y + height > m_area.height() && m_y > 0) {
            m_printer.newPage();
            m_y = 0;
        }
        const double top = m_y;
        m_y += height;
        return top;
    }
    void heading(const QString& text) {
        QFontMetricsF metrics(m_heading, &m_printer);
        const double top = take(metrics.lineSpacing() * kLineSpread);
        m_painter.setFont(m_heading);
        m_painter.drawText(QPointF(0, top + metrics.ascent()), text);
    }
    void text(const QString& text, bool bold = false, double indent = 0) {
        const QFont& font = bold ? m_bold : m_font;
        m_painter.setFont(font);
        const QFontMetricsF metrics(font, &m_printer);
        for (const QString& line : wrapped(text, font, &m_printer, width() - indent)) {
            const double top = take(m_line);
            m_painter.drawText(QPointF(indent, top + metrics.ascent()), line);
        }
    }
    /// A row of cells, each starting at its share of the width and as wide as the space to the
    /// next one; a cell's lines, and any line too wide for it, go on below, the row as tall as
    /// its tallest cell and kept on one page.
    template <std::size_t N>
    void row(const std::array<QStringList, N>& cells, const std::array<double, N>& starts,
             bool bold = false) {
        const QFont& font = bold ? m_bold : m_font;
        m_painter.setFont(font);
        const QFontMetricsF metrics(font, &m_printer);
        std::array<QStringList, N> lines;
        qsizetype tallest = 1;
        for (std::size_t i = 0; i < N; ++i) {
            const double left = starts[i] * width();
            const double right = (i + 1 < N ? starts[i + 1] * width() - m_em / 2 : width());
            for (const QString& line : cells[i])
                lines[i] << wrapped(line, font, &m_printer, right - left);
            tallest = std::max(tallest, lines[i].size());
        }
        const double top = take(m_line * static_cast<double>(tallest));
        for (std::size_t i = 0; i < N; ++i) {
            for (qsizetype line = 0; line < lines[i].size(); ++line) {
                m_painter.drawText(
                    QPointF(starts[i] * width(),
                            top + m_line * static_cast<double>(line) + metrics.ascent()),
                    lines[i][line]);
            }
        }
    }
    void space(double lines = 0.5) { m_y += m_line * lines; }
    void chart(const Trend& trend) {
        const double height = m_area.height() * kChartShare;
        const double top = take(height);
        paintTrend(m_painter, QRectF(m_em, top, width() - 2 * m_em, height), trend, m_font);
    }

private:
    QPrinter& m_printer;
    QPainter& m_painter;
    QRectF m_area;
    QFont m_font;
    QFont m_bold;
    QFont m_heading;
    double m_line = 0;
    double m_em = 0;
    double m_y = 0;
    bool m_started = false;
};

void writePage(PageWriter& writer, const AnalysisPage& page) {
    writer.nextPage();
    writer.heading(toQString(page.heading));
    writer.text(toQString(page.scope));
    writer.space();
    writer.text(toQString(page.summary.counts), true);
    if (!page.summary.weakest.empty()) writer.text(toQString(page.summary.weakest), true);
    if (!page.summary.timeByType.empty()) writer.text(toQString(page.summary.timeByType));
    if (!page.summary.kinds.empty()) {
        writer.space();
        writer.text(QStringLiteral("まちがいの内訳（まちがえた欄の数と割合）"), true);
        for (const KindRow& kind : page.summary.kinds) {
            writer.row<3>({QStringList{toQString(kind.name)},
                           QStringList{toQString(kind.count) + QStringLiteral("欄")},
                           QStringList{toQString(kind.share)}},
                          {0.04, 0.50, 0.62});
        }
    }
    if (!page.trend.mondays.empty()) {
        writer.space();
        writer.text(toQString(std::string(Trend::kCaption)), true);
        writer.chart(page.trend);
    }
    if (!page.examples.empty()) {
        writer.space();
        writer.text(toQString(page.examplesHeading) + QStringLiteral("（新しい順）"), true);
        // The problem and the kinds take a line each part, leaving the kinds the width to
        // show whole.
        const std::array<double, 5> starts = {0.0, 0.08, 0.24, 0.42, 0.60};
        writer.row<5>(
            {QStringList{QStringLiteral("日付")}, QStringList{QStringLiteral("問題")},
             QStringList{QStringLiteral("答え")}, QStringList{QStringLiteral("正しい答え")},
             QStringList{QStringLiteral("まちがい")}},
            starts, true);
        for (const ExampleTexts& example : page.examples) {
            writer.row<5>({QStringList{toQString(example.date)}, linesOf(example.problemLines),
                           QStringList{toQString(example.typed)},
                           QStringList{toQString(example.right)}, linesOf(example.kinds)},
                          starts);
        }
    }
    if (!page.students.empty()) {
        writer.space();
        writer.text(QStringLiteral("生徒ごと"), true);
        const std::array<double, 5> starts = {0.0, 0.30, 0.42, 0.52, 0.66};
        writer.row<5>({QStringList{QStringLiteral("名前")}, QStringList{QStringLiteral("答えた数")},
                       QStringList{QStringLiteral("正解")}, QStringList{QStringLiteral("まちがい")},
                       QStringList{QStringLiteral("いちばんの課題")}},
                      starts, true);
        for (const StudentRowTexts& student : page.students) {
            writer.row<5>(
                {QStringList{toQString(student.name)}, QStringList{toQString(student.answers)},
                 QStringList{toQString(student.right)}, QStringList{toQString(student.wrong)},
                 QStringList{toQString(student.weakest)}},
                starts);
        }
    }
}

}  // namespace

MistakeAnalysisPrinter::MistakeAnalysisPrinter(MistakeAnalysisHost& host)
    : m_host(host), m_choosePrinter(choosePrinterInDialog) {}

bool MistakeAnalysisPrinter::print(QWidget* parent, const std::vector<AnalysisPage>& pages) {
    if (pages.empty()) return false;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QStringLiteral("つまずき分析"));
    if (!m_choosePrinter(printer, parent)) return false;
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_host.reportPrintFailure();
        return false;
    }
    PageWriter writer(printer, painter);
    for (const AnalysisPage& page : pages) writePage(writer, page);
    return painter.end();
}

}  // namespace gaisan

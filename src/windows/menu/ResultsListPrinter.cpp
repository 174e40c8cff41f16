#include "windows/menu/ResultsListPrinter.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <stdexcept>

#include "kit/QtConversions.h"
#include "windows/menu/GraphPanelHost.h"

namespace gaisan {
namespace {

constexpr double kPointSize = 11;
// Room between two lines, as a share of the font's own line spacing.
constexpr double kLineSpread = 1.25;
// The rows start a little in from the printable area's edge, under the captions.
constexpr double kRowIndentEms = 2;

}  // namespace

ResultsListPrinter::ResultsListPrinter(GraphPanelHost& host)
    : m_host(host), m_choosePrinter(choosePrinterInDialog) {}

bool ResultsListPrinter::print(QWidget* parent, const std::vector<std::string>& title,
                               const std::vector<PrintedLevel>& levels) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(QStringLiteral("成績一覧"));
    if (!m_choosePrinter(printer, parent)) return false;
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_host.reportPrintFailure();
        return false;
    }
    QFont font = QApplication::font();
    font.setPointSizeF(kPointSize);
    // Kerning would pull some pairs closer and shift the columns after them.
    font.setKerning(false);
    QFont bold = font;
    bold.setBold(true);
    const QFontMetricsF metrics(font, &printer);
    const double lineHeight = metrics.lineSpacing() * kLineSpread;
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    const double page = area.height();
    const double indent = metrics.horizontalAdvance(QStringLiteral("　")) * kRowIndentEms / 2;

    std::vector<PrintedPage> pages;
    try {
        pages = layOutPrintout(title, levels, lineHeight, page);
    } catch (const std::invalid_argument&) {
        // Only a paper far smaller than A4 comes here.
        painter.end();
        m_host.reportPrintFailure();
        return false;
    }
    for (std::size_t number = 0; number < pages.size(); ++number) {
        if (number != 0) printer.newPage();
        double y = 0;
        for (const auto& line : pages[number].lines) {
            if (line) {
                const bool row = line->kind == PrintedLine::Kind::Row;
                painter.setFont(row ? font : bold);
                painter.drawText(QPointF(row ? indent : 0, y + metrics.ascent()),
                                 toQString(line->text));
            }
            y += lineHeight;
        }
        painter.setFont(font);
        painter.drawText(QRectF(0, page - lineHeight, area.width(), lineHeight),
                         Qt::AlignHCenter | Qt::AlignBottom, toQString(pages[number].footer));
    }
    return painter.end();
}

}  // namespace gaisan

#include "rules/menu/ListPrintout.h"

#include <cmath>
#include <stdexcept>

#include "platform/EraDate.h"

namespace gaisan {
namespace {

std::string_view viewName(const PrintoutHeading& heading) {
    if (heading.list == ResultsList::PersonalRuns) return "個人ﾀｲﾑ";
    return heading.view == RankingView::Time ? "ﾀｲﾑ表示" : "ﾎﾟｲﾝﾄ表示";
}

}  // namespace

std::vector<std::string> printoutTitle(const PrintoutHeading& heading) {
    std::string first = heading.subjectTitle + "　" + std::string(viewName(heading));
    if (heading.list != ResultsList::PersonalRuns) {
        for (int option = 1; option <= 3; ++option) {
            if (listOfOption(heading.view, option) == heading.list) {
                first += "・" + std::string(listOptionCaptions(heading.view)[option - 1]);
            }
        }
    }
    const std::string_view title = listTitle(heading.list);
    if (!title.empty()) first += "　" + std::string(title);

    std::string second = "学年：" + heading.band;
    if (heading.list == ResultsList::PeriodRuns) {
        second += "　期間：" + std::string(periodName(heading.period));
    }
    if (heading.list == ResultsList::PersonalRuns) second += "　名前：" + heading.studentName;
    second += "　" + japaneseEraDate(heading.today);
    return {first, second};
}

std::string printedLevelCaption(int level, const std::string& levelName) {
    return std::to_string(level) + "　" + levelName;
}

std::vector<PrintedPage> layOutPrintout(const std::vector<std::string>& title,
                                        const std::vector<PrintedLevel>& levels, double lineHeight,
                                        double pageHeight) {
    if (!(lineHeight > 0) || !(pageHeight > 0)) {
        throw std::invalid_argument("a printed page needs a positive line and page height");
    }
    // The bottom line of each page holds its number. The small allowance keeps a page that is
    // exactly n lines high from losing its last line to rounding.
    const auto lines = static_cast<long long>(std::floor(pageHeight / lineHeight + 1e-9));
    const long long capacity = lines - 1;
    if (capacity < 2) {
        throw std::invalid_argument("a printed page has room for fewer than three lines");
    }

    std::vector<PrintedPage> pages(1);
    const auto room = [&] { return capacity - static_cast<long long>(pages.back().lines.size()); };
    const auto put = [&](PrintedLine::Kind kind, const std::string& text) {
        if (room() == 0) pages.emplace_back();
        pages.back().lines.emplace_back(PrintedLine{kind, text});
    };
    for (const std::string& line : title) put(PrintedLine::Kind::Title, line);

    static const std::vector<std::string> kNothing = {"（なし）"};
    for (const PrintedLevel& level : levels) {
        const std::vector<std::string>& rows = level.rows.empty() ? kNothing : level.rows;
        if (!pages.back().lines.empty()) {
            // A gap, the caption and a first row, or all three on the next page.
            if (room() < 3) {
                pages.emplace_back();
            } else {
                pages.back().lines.emplace_back(std::nullopt);
            }
        }
        put(PrintedLine::Kind::Caption, level.caption);
        for (const std::string& row : rows) {
            if (room() == 0) {
                pages.emplace_back();
                put(PrintedLine::Kind::Caption, level.caption + "（つづき）");
            }
            put(PrintedLine::Kind::Row, row);
        }
    }
    const std::size_t count = pages.size();
    for (std::size_t page = 0; page < count; ++page) {
        pages[page].footer = std::to_string(page + 1) + " / " + std::to_string(count);
    }
    return pages;
}

}  // namespace gaisan

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/Periods.h"
#include "platform/Calendar.h"
#include "rules/menu/Ranking.h"
#include "rules/menu/ResultsViews.h"

namespace gaisan {

/// What a printed sheet of the level menu's lists says it shows, so that a sheet on the wall
/// still tells which ranking or runs it is once the screen has moved on.
struct PrintoutHeading {
    std::string subjectTitle;
    ResultsList list = ResultsList::TotalPoints;
    /// The view the list was chosen in (the run lists of a period look different in each).
    RankingView view = RankingView::Points;
    std::string band;
    /// The period of a period's runs; ignored for every other list.
    Period period = Period::Month;
    /// Whose runs a personal list shows.
    std::string studentName;
    CivilDate today;
};

/// The heading's two lines: the subject, the view and list with the list's title, then the
/// grade band, the period (period lists), the student (personal lists) and the date.
std::vector<std::string> printoutTitle(const PrintoutHeading& heading);

/// One level's list as printed: the caption before its rows, and the rows exactly as the menu
/// shows them (fixed-layout texts).
struct PrintedLevel {
    std::string caption;
    std::vector<std::string> rows;
};

/// The caption of a level's list on paper: its column number and name ("1　レベル１").
std::string printedLevelCaption(int level, const std::string& levelName);

struct PrintedLine {
    enum class Kind { Title, Caption, Row };
    Kind kind;
    std::string text;
};

struct PrintedPage {
    /// From the top, one line height each; a gap between two levels is a line of its own, left
    /// out at the top of a page.
    std::vector<std::optional<PrintedLine>> lines;
    /// "1 / 3": the page's number and the number of pages, under the last line.
    std::string footer;
};

/// Puts the title and the levels' lists on pages of `pageHeight` with lines of `lineHeight`
/// (any one unit), keeping the bottom line of every page for its number. A row is never split
/// and a caption never ends a page alone; a level that goes on to the next page repeats its
/// caption there with "（つづき）". A level without rows prints "（なし）" under its caption,
/// so that an empty list reads as empty and not as lost. Always at least one page. Throws
/// std::invalid_argument when a page has room for fewer than three lines (caption, a row and
/// the page number).
std::vector<PrintedPage> layOutPrintout(const std::vector<std::string>& title,
                                        const std::vector<PrintedLevel>& levels, double lineHeight,
                                        double pageHeight);

}  // namespace gaisan

#include "rules/student/NameList.h"

#include <algorithm>

#include "platform/Numbers.h"
#include "platform/Utf8.h"
#include "stores/roster/Roster.h"

namespace gaisan {
namespace {

constexpr std::string_view kFullWidthSpace = "　";

/// `number` right-aligned: padded on the left with `padding` and cut to its last `count`
/// characters.
std::string rightAligned(std::string_view padding, long number, std::size_t count) {
    return std::string(lastCharacters(std::string(padding) + std::to_string(number), count));
}

std::string replaced(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

template <typename T>
long sumOverLevels(int student, const LevelStudentTable<T>& table) {
    double sum = 0;
    for (int level = 1; level <= kHighestLevel; ++level) sum += table.at(level, student);
    return static_cast<long>(sum);
}

}  // namespace

FigureTexts figureTextsOf(int student, const CountTables& counts) {
    const long todayRuns = sumOverLevels(student, counts.TodayRunCounts);
    const long todayPoints = sumOverLevels(student, counts.TodayPoints);
    const long totalRuns = sumOverLevels(student, counts.RunCount);
    const long totalPoints = sumOverLevels(student, counts.TotalPoints);
    FigureTexts texts;
    texts.todayRuns = todayRuns != 0 ? rightAligned("  ", todayRuns, 3) + "回" : "     ";
    texts.todayPoints = todayPoints != 0 ? rightAligned("   ", todayPoints, 4)
                                         : "  " + std::string(kFullWidthSpace);
    texts.totalRuns = totalRuns != 0 ? rightAligned("      ", totalRuns, 5) + "回"
                                     : "     " + std::string(kFullWidthSpace);
    texts.totalPoints = totalPoints != 0 ? rightAligned("      ", totalPoints, 7) : "       ";
    return texts;
}

std::string stagingRowOf(const RosterEntry& entry, int gradeNumber, FigureMode mode,
                         const CountTables& counts) {
    const std::string prefix = GradePrefix(gradeNumber);
    std::string name(trimSpaces(entry.Name));
    name = replaced(replaced(name, "*", "＊"), "/", "／");
    // Pre-school rows give the name two more columns, except with today's and all points.
    const std::size_t width =
        isPreSchoolPrefix(prefix) && mode != FigureMode::TodayAndTotalPoints ? 11 : 9;
    const std::size_t used = characterCount(prefix) + 1 + characterCount(name);
    std::string fill;
    for (std::size_t i = used; i < width; ++i) fill += kFullWidthSpace;

    const FigureTexts texts = figureTextsOf(entry.StudentIndex, counts);
    std::string first;
    std::string second;
    switch (mode) {
        case FigureMode::TodayAndTotalRuns:
            first = texts.todayRuns, second = texts.totalRuns;
            break;
        case FigureMode::TodayAndTotalPoints:
            first = texts.todayPoints, second = texts.totalPoints;
            break;
        case FigureMode::TodayPointsAndRuns:
            first = texts.todayPoints, second = texts.todayRuns;
            break;
        case FigureMode::TotalPointsAndRuns:
            first = texts.totalPoints, second = texts.totalRuns;
            break;
    }
    return std::to_string(entry.RosterYear) + prefix + " " + name + fill + first + "/" + second +
           "*" + std::to_string(entry.StudentIndex);
}

NameList nameListOf(std::vector<std::string> stagingRows, int schoolYear, std::string_view band) {
    std::sort(stagingRows.begin(), stagingRows.end());
    NameList list;
    list.rows.emplace_back(kNoNameRow);
    for (auto staging = stagingRows.rbegin(); staging != stagingRows.rend(); ++staging) {
        const int rosterYear = static_cast<int>(leadingNumber(leftCharacters(*staging, 4)));
        if (!InGradeBand(GradeNumber(schoolYear, rosterYear), band)) continue;
        const std::string_view afterYear = charactersAfter(*staging, 4);
        const std::size_t star = afterYear.find('*');
        list.rows.emplace_back(afterYear.substr(0, star));
        // The row, its "*" and the four characters after it: an index of up to four digits.
        list.indexRows.emplace_back(
            leftCharacters(afterYear, characterCount(afterYear.substr(0, star)) + 5));
        list.students.push_back(studentOfIndexRow(list.indexRows.back()));
    }
    return list;
}

int studentOfIndexRow(std::string_view indexRow) {
    const std::size_t star = indexRow.find('*');
    if (star == std::string_view::npos) return 0;
    return static_cast<int>(leadingNumber(indexRow.substr(star + 1)));
}

std::string chosenRowText(std::string_view row) {
    return std::string(trimSpaces(leftCharacters(trimSpaces(row), 10)));
}

std::string rowTextBeforeFigures(std::string_view row) {
    return std::string(trimSpaces(row.substr(0, row.find('/'))));
}

}  // namespace gaisan

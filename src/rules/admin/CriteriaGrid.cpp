#include "rules/admin/CriteriaGrid.h"

#include <algorithm>

#include "platform/Numbers.h"

namespace gaisan {

CriteriaGrid::Row CriteriaGrid::headerRow() {
    Row header = {"レベル"};
    for (const std::string& title : criteriaTitleLine()) header.push_back(title);
    return header;
}

void CriteriaGrid::load(const std::vector<CriteriaLine>& lines, bool unsaved) {
    m_cells = {headerRow()};
    for (std::size_t line = 1; line < lines.size(); ++line) {
        Row row = {std::to_string(line)};
        row.insert(row.end(), lines[line].begin(), lines[line].end());
        m_cells.push_back(std::move(row));
    }
    m_marks.assign(m_cells.size(), std::vector<bool>(kColumns));
    m_gridChanged = unsaved;
    m_row = std::clamp(m_row, 1, std::max(1, lastRow()));
    m_selectionEnd = m_row;
}

void CriteriaGrid::moveTo(int row, int column) {
    m_row = row;
    m_column = column;
    m_selectionEnd = row;
}

void CriteriaGrid::click(int row, int column) {
    if (row < 1 || row > lastRow() || column < 1 || column > kLastColumn) return;
    moveTo(row, column);
}

void CriteriaGrid::textToGrid(const std::string& text) {
    if (m_row < 1 || m_row > lastRow()) return;
    std::string& cell = m_cells[m_row][m_column];
    if (cell != text) {
        m_marks[m_row][m_column] = true;
        m_gridChanged = true;
    }
    cell = text;
}

bool CriteriaGrid::up() {
    if (m_row <= 1) return false;
    moveTo(m_row - 1, m_column);
    return true;
}

bool CriteriaGrid::down() {
    if (m_row >= lastRow()) return false;
    moveTo(m_row + 1, m_column);
    return true;
}

bool CriteriaGrid::left() {
    if (m_column <= 1) return false;
    moveTo(m_row, m_column - 1);
    return true;
}

bool CriteriaGrid::right() {
    if (m_column >= kLastColumn) return false;
    moveTo(m_row, m_column + 1);
    return true;
}

bool CriteriaGrid::copyDown(const std::string& text) {
    if (m_selectionEnd >= lastRow()) return false;
    ++m_selectionEnd;
    for (int row = m_row; row <= m_selectionEnd; ++row) m_cells[row][m_column] = text;
    m_gridChanged = true;
    return true;
}

std::vector<CriteriaLine> CriteriaGrid::lines() const {
    std::vector<CriteriaLine> lines;
    for (const Row& row : m_cells) {
        CriteriaLine line;
        std::copy(row.begin() + 1, row.end(), line.begin());
        lines.push_back(line);
    }
    return lines;
}

std::vector<CriteriaLine> CriteriaGrid::linesInForce(const CriteriaTable& table, int levels) {
    std::vector<CriteriaLine> lines = {criteriaTitleLine()};
    for (int level = 1; level <= levels; ++level) {
        lines.push_back(
            {std::to_string(table.TargetTime.at(level)),
             std::to_string(table.MinLineTime.at(level)),
             std::to_string(table.ClearPoints.at(level)),
             std::to_string(table.ClearCount.at(level)), shortestText(table.PointRate.at(level)),
             shortestText(table.OveruseCount.at(level)),
             shortestText(table.OverusePoints.at(level)), shortestText(table.PassDays.at(level)),
             shortestText(table.OveruseDays.at(level)), table.CriteriaExtra1.at(level),
             table.CriteriaExtra2.at(level), table.CriteriaExtra3.at(level)});
    }
    return lines;
}

std::string CriteriaGrid::explanation(int column) {
    switch (column) {
        case 1:
            return "合格基準タイム\n　大部分の人ががんばったら出せそうなタイムにしてください";
        case 2:
            return "合格最低ラインタイム\n  この５倍が時間切れになります";
        case 3:
            return "目標ポイント\n　　 目標ポイント";
        case 4:
            return "目標回数\n　　 目標回数";
        case 5:
            return "ポイント倍率\n  ポイントを何倍にして加算するか\n  "
                   "むずかしいレベルや生徒のいやがるレベルは高くしてください";
        case 6:
            return "やりすぎ禁止回数\n  何回やったらやりすぎ禁止にするか";
        case 7:
            return "やりすぎ禁止ポイント\n  何ポイントとったらやりすぎ禁止にするか";
        case 8:
            return "合格判定をする日数\n　何日前からのポイントを有効にするか";
        case 9:
            return "やりすぎ判定をする日数\n　何日前からのポイントを有効にするか";
        default:
            return {};
    }
}

}  // namespace gaisan

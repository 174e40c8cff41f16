#pragma once

#include <string>
#include <vector>

#include "base/CriteriaTable.h"

namespace gaisan {

/// The criteria editor's grid as plain state: the cell texts (row 0 the header, row n level n;
/// column 0 the level number, columns 1 to 12 the fields of the criteria file), the cells marked
/// as changed, the current cell and the end row of a Shift+Down copy, and whether anything is
/// left unsaved (`GridChanged`). The window shows it and sends it the teacher's keys and clicks.
class CriteriaGrid {
public:
    static constexpr int kColumns = 13;
    static constexpr int kLastColumn = 12;

    /// Rows 1.. from lines 1.. of a criteria file (line 0, the title line, is dropped); the header
    /// row is always the standard one. Marks are cleared, and GridChanged unless the lines are
    /// `unsaved` (not what the file holds); the current cell stays where it was, moved back within
    /// the rows when there are fewer now.
    void load(const std::vector<CriteriaLine>& lines, bool unsaved = false);

    /// `LastRowIndex`: the number of level rows.
    int lastRow() const { return static_cast<int>(m_cells.size()) - 1; }
    const std::string& cell(int row, int column) const { return m_cells.at(row).at(column); }
    /// Whether the cell is marked yellow: typed over with a different text since the last load.
    bool marked(int row, int column) const { return m_marks.at(row).at(column); }
    bool gridChanged() const { return m_gridChanged; }
    int row() const { return m_row; }
    int column() const { return m_column; }
    int selectionEndRow() const { return m_selectionEnd; }

    /// A click: the clicked cell becomes current when it is a level's field (rows 1..last,
    /// columns 1..12); a click on the header or the level numbers leaves it as it is.
    void click(int row, int column);

    /// `TextToGrid転送`: the current cell receives `text`; a different text marks it and sets
    /// GridChanged.
    void textToGrid(const std::string& text);

    /// The arrow keys: one cell up, down, left or right within rows 1..last and columns 1..12;
    /// false (and nothing changes) at the edge.
    bool up();
    bool down();
    bool left();
    bool right();
    /// Shift+Down, "セルコピー": when the copy's end row is above the last row, it moves down by
    /// one and `text` goes into every cell of the current column from the current row to it.
    /// The current cell stays; copied cells are not marked; GridChanged is set. False at the
    /// last row.
    bool copyDown(const std::string& text);

    /// The lines to save: the header row as the title line, then one line per level row, columns
    /// 1 to 12.
    std::vector<CriteriaLine> lines() const;
    /// After a save: nothing is left unsaved; the marks stay until the next load.
    void saved() { m_gridChanged = false; }

    /// The criteria in force as lines of the file, for levels 1..`levels`: what the editor shows
    /// when the file itself cannot be read.
    static std::vector<CriteriaLine> linesInForce(const CriteriaTable& table, int levels);
    /// The explanation `Label3` shows for a column: its title, a line break and its help text;
    /// empty for columns 0 and 10 to 12.
    static std::string explanation(int column);

private:
    using Row = std::vector<std::string>;
    void moveTo(int row, int column);

    std::vector<Row> m_cells = {headerRow()};
    std::vector<std::vector<bool>> m_marks = {std::vector<bool>(kColumns)};
    bool m_gridChanged = false;
    int m_row = 1;
    int m_column = 1;
    int m_selectionEnd = 1;

    static Row headerRow();
};

}  // namespace gaisan

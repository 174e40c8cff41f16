#pragma once

#include <QLineEdit>
#include <QTableWidget>

#include <vector>

#include "rules/admin/CriteriaGrid.h"

namespace gaisan {

class DesignCanvas;

/// The criteria editor's grid (`MSFlexGrid1`) with its floating cell editor (`Gridinputtext`):
/// one row per level, typed over through the text box that lies exactly over the current cell.
/// The grid's rules live in CriteriaGrid; this widget shows its cells, marks and current cell,
/// and passes it the teacher's keys and clicks. It tells the window the current column's
/// explanation whenever it shows the editor, and the current row whenever that changes, so that
/// the window can show that level's distribution.
class CriteriaGridView : public QTableWidget {
    Q_OBJECT

public:
    /// Lays the grid out at `at` (design pixels) in `parent` on `canvas`, its text `fontPixels`
    /// high.
    CriteriaGridView(DesignCanvas& canvas, QWidget* parent, const QRect& at, int fontPixels);

    const CriteriaGrid& grid() const { return m_grid; }

    /// Shows `lines` (a criteria file's), as CriteriaGrid::load takes them.
    void load(const std::vector<CriteriaLine>& lines, bool unsaved = false);
    /// After a save: nothing is left unsaved.
    void saved() { m_grid.saved(); }
    /// Cell (1,1) current, the rows fitted, and the editor over it with its text and the focus.
    void startAtFirstCell();
    /// Rows fit the grid so that 33 of them show, the header included.
    void fitRows();
    /// The editor back over the current cell, after the grid moved or was resized.
    void followCurrentCell();
    void focusEditor() { m_gridInput->setFocus(); }

    void TextToGrid転送();
    void GridToText転送();
    void ShowCellEditor();

signals:
    /// The explanation of the current column, each time the editor is shown.
    void explanationShown(const QString& explanation);
    /// The current row is another one now.
    void currentRowChanged(int row);
    /// The teacher changed a cell's text (typed or copied down).
    void edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Gridinputtext_KeyDown; true when the key is used up here.
    bool Gridinputtext_KeyDown(QKeyEvent* event);
    void MSFlexGrid1_Click(int row, int column);
    /// Shows every cell of the grid state.
    void showGrid();
    void showCell(int row, int column);
    /// Tells the window when the current row is not the one it was last told.
    void tellRow();

    CriteriaGrid m_grid;
    int m_toldRow;
    QLineEdit* m_gridInput;
};

}  // namespace gaisan

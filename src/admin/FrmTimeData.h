#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>

#include <memory>

#include "admin/CriteriaGrid.h"
#include "app/DesignCanvas.h"

namespace gaisan {

class AdminFlow;
class ResultDistribution;

/// The criteria editor: "タイム回数データ.txt" as a grid, one row per level, typed over through a
/// text box that floats over the current cell, the current column explained in words, and beside
/// the grid how the results recorded so far spread over time bands for the current level. The
/// grid's rules live in CriteriaGrid and the distribution in ResultDistribution; this window
/// shows them and passes the keys on. It writes the file only on "更新記録" (or a Yes when
/// leaving with changes), and returns to the level menu.
class FrmTimeData : public DesignCanvas {
    Q_OBJECT

public:
    explicit FrmTimeData(AdminFlow& flow);
    ~FrmTimeData() override;

    void Form_Load();
    void Form_Activate();

    /// "元に戻す": reloads the grid from the file, dropping unsaved changes.
    void Command2_Click();
    /// "更新記録": saves the grid and puts the criteria in force; false when the save failed.
    bool Command3_Click();
    /// "戻る": asks to save unsaved changes, then back to the level menu.
    void Command4_Click();
    /// The distribution refresh, for the current row's level.
    void Command7_Click();

    void TextToGrid転送();
    void GridToText転送();
    void ShowCellEditor();

    const CriteriaGrid& grid() const { return m_grid; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::filesystem::path criteriaPath() const;
    /// Gridinputtext_KeyDown; true when the key is used up here.
    bool Gridinputtext_KeyDown(QKeyEvent* event);
    void MSFlexGrid1_Click(int row, int column);
    /// Shows every cell of the grid state in the table.
    void showGrid();
    void showCell(int row, int column);
    /// Rows fit the grid so that 33 of them show, the header included.
    void fitRows();
    void showWait(bool shown);
    void fillList(QListWidget* list, const std::vector<std::string>& lines);

    AdminFlow& m_flow;
    CriteriaGrid m_grid;
    std::unique_ptr<ResultDistribution> m_distribution;
    bool m_distributionProblemTold = false;

    QWidget* m_picture1;
    QTableWidget* m_grid1;
    QLineEdit* m_gridInput;
    QLabel* m_label3;
    QPushButton* m_command2;
    QPushButton* m_command3;
    QPushButton* m_command4;
    QPushButton* m_command7;
    QListWidget* m_list3;
    QListWidget* m_list4;
    QWidget* m_picture6;
};

}  // namespace gaisan

#pragma once

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <functional>
#include <memory>

#include "kit/DesignCanvas.h"
#include "stores/installation/CriteriaCopies.h"
#include "windows/admin/CriteriaGridView.h"

namespace gaisan {

class AdminFlow;
class ResultDistribution;

/// The criteria editor: "タイム回数データ.txt" as a grid, one row per level, typed over through a
/// text box that floats over the current cell (CriteriaGridView), the current column explained
/// in words, and beside the grid how the results recorded so far spread over time bands for the
/// current level (ResultDistribution). The distribution is brought up to date from the results
/// file when the editor opens and whenever the grid's current row changes, not at every key,
/// so a run recorded meanwhile shows at the next change of row. It writes the file only on
/// "更新記録" (or a Yes when leaving with changes) and "前の設定に戻す", each keeping the file it
/// replaces as a copy, and returns to the level menu.
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
    [[nodiscard]] bool Command3_Click();
    /// "戻る": asks to save unsaved changes, then back to the level menu.
    void Command4_Click();
    /// The distribution refresh, for the current row's level.
    void Command7_Click();
    /// "前の設定に戻す": lists the copies kept by earlier saves and brings the chosen one back,
    /// itself a save.
    void bringBackCopy();

    const CriteriaGrid& grid() const { return m_grid1->grid(); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::filesystem::path criteriaPath() const;
    void showWait(bool shown);
    void showSavedTime();
    /// Runs a save (`replace`); when the file it replaces could not be kept as a copy, asks
    /// whether to save without one. Fails as the save does.
    Expected<CriteriaSaveOutcome> saveAskingWithoutCopy(
        const std::function<Expected<CriteriaSaveOutcome>(WithoutCopy)>& replace,
        const QString& question);
    void fillList(QListWidget* list, const std::vector<std::string>& lines);

    AdminFlow& m_flow;
    std::unique_ptr<ResultDistribution> m_distribution;
    bool m_distributionProblemTold = false;

    QWidget* m_picture1;
    CriteriaGridView* m_grid1;
    QLabel* m_label3;
    QLabel* m_savedLabel;
    QPushButton* m_command2;
    QPushButton* m_command3;
    QPushButton* m_command4;
    QPushButton* m_command7;
    QPushButton* m_restoreButton;
    QListWidget* m_list3;
    QListWidget* m_list4;
    QWidget* m_picture6;
};

}  // namespace gaisan

#pragma once

#include <QPushButton>
#include <QWidget>

namespace gaisan {

class DesignCanvas;

/// `Picture7`, the teacher's maintenance panel over the level menu: "データ変更" opens the records
/// browser, "合格タイムデータ変更" the criteria editor, "CSVで保存" saves the results as a
/// spreadsheet file, "一覧を印刷" prints the lists the menu shows, "つまずき分析" opens the
/// analysis of the children's mistakes, "戻る" hides the panel. While it shows, the menu's buttons
/// that start a run ignore clicks.
class MaintenancePanel : public QWidget {
    Q_OBJECT

public:
    /// Lays the panel out on `canvas`, the menu it lies over.
    MaintenancePanel(DesignCanvas& canvas, QWidget* parent);

    /// Index 0: the records browser; index 1: the criteria editor; index 2: the spreadsheet
    /// file; index 3 the printed lists; index 4 the mistake analysis; any other index nothing.
    void Command10_Click(int index);
    /// "戻る": hides the panel.
    void Command12_Click();

signals:
    void recordsBrowserChosen();
    void criteriaEditorChosen();
    void csvExportChosen();
    void listsPrintChosen();
    void mistakeAnalysisChosen();
};

}  // namespace gaisan

#include "windows/menu/MaintenancePanel.h"

#include "kit/DesignCanvas.h"

namespace gaisan {

MaintenancePanel::MaintenancePanel(DesignCanvas& canvas, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Picture7"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        QStringLiteral("#Picture7 { background-color: #fff4d0; border: 3px solid #c08000; }"));
    canvas.place(this, {324, 100, 376, 420});
    canvas.addLabel(QStringLiteral("Label22"), QStringLiteral("データ処理"), this, {16, 8, 344, 40},
                    22, Qt::AlignCenter);
    const QString captions[5] = {
        QStringLiteral("データ変更"), QStringLiteral("合格タイムデータ変更"),
        QStringLiteral("CSVで保存"), QStringLiteral("一覧を印刷"), QStringLiteral("つまずき分析")};
    for (int index = 0; index < 5; ++index) {
        auto* button = new QPushButton(captions[index], this);
        button->setObjectName(QStringLiteral("Command10_%1").arg(index));
        canvas.place(button, {40, 56 + index * 60, 296, 52}, 22);
        connect(button, &QPushButton::clicked, this, [this, index] { Command10_Click(index); });
    }
    auto* back = new QPushButton(QStringLiteral("戻る"), this);
    back->setObjectName(QStringLiteral("Command12"));
    canvas.place(back, {236, 360, 100, 44}, 20);
    connect(back, &QPushButton::clicked, this, &MaintenancePanel::Command12_Click);
    hide();
}

void MaintenancePanel::Command10_Click(int index) {
    // The panel stays visible: the menu is unloaded once the chosen screen is up.
    if (index == 0) emit recordsBrowserChosen();
    if (index == 1) emit criteriaEditorChosen();
    if (index == 2) emit csvExportChosen();
    if (index == 3) emit listsPrintChosen();
    if (index == 4) emit mistakeAnalysisChosen();
}

void MaintenancePanel::Command12_Click() { hide(); }

}  // namespace gaisan

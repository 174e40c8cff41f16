#pragma once

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <string>
#include <vector>

#include "kit/DesignCanvas.h"
#include "rules/student/NameList.h"

namespace gaisan {

class NameSelectionHost;

/// The name-selection screen, where every visit begins and ends: the roster with each
/// student's figures, a grade band, and O.K. to log in; "0" hands back to the suite launcher.
/// A child can do everything from the keyboard: the list has the focus, the arrow keys choose,
/// and "1", Enter or space confirm.
class namesel : public DesignCanvas {
    Q_OBJECT

public:
    explicit namesel(NameSelectionHost& host);

    void Form_Load();
    void Form_Activate();
    /// Rebuilds the list from the roster and the results.
    void 名簿表示();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void Combo1_Click();
    void Option1_Click(int index);
    void List1_Click();
    void List1_DblClick();
    void Command14_Click();
    void Command7_Click();
    void Label4_Click();

private:
    /// The form's key preview: true when the key was taken.
    bool Form_KeyPress(const QString& key);
    void selectRow(int row);
    /// Shows the chosen row's name (as `rowText` takes it from the row) and remembers its
    /// student; false when the first row, "no name", is chosen.
    bool showChosenRow(std::string (*rowText)(std::string_view));

    NameSelectionHost& m_host;
    FigureMode m_figureMode = FigureMode::TodayAndTotalRuns;
    bool m_bandsFilled = false;
    /// A roster problem is told once per visit, not at every change of band or figures.
    bool m_rosterProblemReported = false;
    NameList m_list;
    /// The student of the chosen row, 0 while none is chosen; Label2 only shows it.
    int m_chosenStudent = 0;
    QLabel* m_label4;
    QLabel* m_label1;
    QLabel* m_label2;
    QComboBox* m_combo1;
    std::array<QRadioButton*, 4> m_option1{};
    QListWidget* m_list1;
    QPushButton* m_command14;
    QPushButton* m_command7;
    QWidget* m_picture5 = nullptr;
};

}  // namespace gaisan

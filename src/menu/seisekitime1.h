#pragma once

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <array>
#include <vector>

#include "app/DesignCanvas.h"
#include "menu/Ranking.h"

namespace gaisan {

class ScreenFlow;

/// The level menu, the logged-in student's home screen: one column per level with its name,
/// start button, criteria, the student's counts and points and the school's ranking. It is
/// created afresh for every visit, so it always shows the counts after the last run.
class seisekitime1 : public DesignCanvas {
    Q_OBJECT

public:
    explicit seisekitime1(ScreenFlow& flow);

    void Form_Load();
    void Form_Activate();

    /// Starts level `level` when its button is enabled.
    void Command4_Click(int level);
    void Label3_Click(int level);
    /// Back to the name-selection screen.
    void Command1_Click();
    /// The ranking of one level into its list.
    void Command3_Click(int level);
    /// The level-availability refresh: enables the open levels and marks over-used ones.
    void Command9_Click();

    bool menuReady() const { return m_menuReady; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    /// One level's column of controls.
    struct Column {
        QLabel* number = nullptr;       // Label1
        QLabel* name = nullptr;         // Label3
        QPushButton* start = nullptr;   // Command4
        QLabel* overuse = nullptr;      // Text1
        QLabel* criteria = nullptr;     // Label7
        QLabel* passWindow = nullptr;   // Label8
        QLabel* totals = nullptr;       // Label15
        QLabel* today = nullptr;        // Label14
        QLabel* todayCaption = nullptr; // Label9
        QLabel* totalCaption = nullptr; // Label10
        QListWidget* ranking = nullptr; // List5
    };

    void buildHeader();
    void buildColumn(int level, int left, int width);
    /// The default view: points, ranked by total points.
    void showTotalPointsRankings();
    /// Takes a key seen by any control of the window first; true when it was used.
    bool Form_KeyPress(const QString& key);
    void showBusy(bool busy);
    /// The menu is about to give way to another screen: nothing that starts a screen change is
    /// left to press, and the wait panel shows.
    void leaving();

    ScreenFlow& m_flow;
    bool m_menuReady = false;
    PointsBasis m_pointsBasis = PointsBasis::Total;
    std::vector<Column> m_columns;
    QLabel* m_label5 = nullptr;
    QLabel* m_label11 = nullptr;
    QLabel* m_label12 = nullptr;
    QLabel* m_label13 = nullptr;
    QLabel* m_label17 = nullptr;
    QLabel* m_label18 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command8 = nullptr;
    QPushButton* m_command24Print = nullptr;
    QPushButton* m_command17 = nullptr;
    std::array<QRadioButton*, 3> m_option2{};
    std::array<QRadioButton*, 4> m_option1{};  // 1..3
    QComboBox* m_combo1 = nullptr;
    QComboBox* m_combo2 = nullptr;
    QScrollBar* m_hScroll1 = nullptr;
    QWidget* m_picture2 = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QWidget* m_picture1 = nullptr;
    QWidget* m_picture6 = nullptr;
    QProgressBar* m_progressBar2 = nullptr;
    QWidget* m_picture7 = nullptr;
};

}  // namespace gaisan

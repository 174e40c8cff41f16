#pragma once

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include <string>
#include <vector>

namespace gaisan {

class LevelMenu;
class DesignCanvas;

/// One level's column of the level menu (`Column_<level>`), on a panel of its own that paging
/// moves: the level's number and name, its start button with the over-use mark over it, the
/// criteria, the student's pass window, day and totals, and under the captions the level's list
/// of the results view shown.
class LevelColumn : public QWidget {
    Q_OBJECT

public:
    /// Lays the column of `level` out in `area` of `canvas`, `width` by `height` design pixels,
    /// with the level's name and criteria and the student's pass window from `menu`.
    LevelColumn(DesignCanvas& canvas, QWidget* area, const LevelMenu& menu, int level, int width,
                int height);

    int level() const { return m_level; }

    /// The student's day and totals; the criteria and pass window on grey; the start button off
    /// until the level's availability is known.
    void showStudentCounts(const LevelMenu& menu);
    /// The start button as the availability says, and the over-use mark over it or not.
    void showAvailability(bool enabled, bool overuseMark);
    void setStartEnabled(bool enabled) { m_start->setEnabled(enabled); }
    bool startEnabled() const { return m_start->isEnabled(); }
    void focusStart() { m_start->setFocus(); }

    /// "今日" and "今まで" over the list.
    void showListCaptions();
    void clearList() { m_list->clear(); }
    void addRows(const std::vector<std::string>& rows);
    /// The rows the list holds, top to bottom.
    std::vector<std::string> rows() const;
    /// Scrolls the list so that `row` is at the top.
    void scrollToRow(int row);
    /// No row of the list selected.
    void clearSelection();
    void setListShown(bool shown) { m_list->setVisible(shown); }
    /// The list, the criteria, the counts and the captions hidden: a view with nothing for the
    /// level.
    void hideResults();

signals:
    void startClicked(int level);
    void nameClicked(int level);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_level;
    QLabel* m_name;          // Label3
    QPushButton* m_start;    // Command4
    QLabel* m_overuse;       // Text1
    QLabel* m_criteria;      // Label7
    QLabel* m_passWindow;    // Label8
    QLabel* m_totals;        // Label15
    QLabel* m_today;         // Label14
    QLabel* m_todayCaption;  // Label9
    QLabel* m_totalCaption;  // Label10
    QListWidget* m_list;     // List5
};

}  // namespace gaisan

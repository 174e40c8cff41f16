#pragma once

#include <QWidget>

class QComboBox;
class QGroupBox;

namespace gaisan {

class ScreenFlow;

/// Shows what the start-up loaded: the folders, the school, the criteria of the playable levels
/// and the sound cues, so that a teacher setting up a machine can see that the suite's files
/// were found; a student can be chosen from the roster to start a run of a level. Closing it
/// ends the program.
class ConfigurationWindow : public QWidget {
    Q_OBJECT

public:
    explicit ConfigurationWindow(ScreenFlow& flow);

    void Form_Load();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* startBox();
    /// Logs the chosen student in and starts a run of `level`.
    void startLevel(int level);

    ScreenFlow& m_flow;
    QComboBox* m_names = nullptr;
};

}  // namespace gaisan

#pragma once

#include <QWidget>

namespace gaisan {

class ScreenFlow;

/// Shows what the start-up loaded: the folders, the school, the criteria of the playable levels
/// and the sound cues, so that a teacher setting up a machine can see that the suite's files
/// were found. Closing it ends the program.
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
    ScreenFlow& m_flow;
};

}  // namespace gaisan

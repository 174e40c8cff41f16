#pragma once

#include <QObject>
#include <QPointer>

#include <filesystem>

namespace gaisan {

struct AppState;
class BASEFRM;
class Clock;
class ConfigurationWindow;
class Firstfrm;
class MessageBoxes;
class RandomSource;

/// Opens and closes the screens in the program's order: each screen is created afresh when it
/// is shown again, and its load and activation steps are called here explicitly, so that
/// nothing depends on how a platform delivers activation events. The program ends only through
/// `programEnded`, never because a last window happened to close.
class ScreenFlow : public QObject {
    Q_OBJECT

public:
    ScreenFlow(AppState& state, const Clock& clock, RandomSource& random, MessageBoxes& boxes,
               std::filesystem::path programFolder);
    ~ScreenFlow() override;

    /// Shows the splash window, which continues the start-up 100 ms later.
    void start();

    /// Loads the configuration and opens the first working screen. A configuration file that
    /// cannot be used is reported, naming the file and the problem, and ends the program with
    /// exit code 1.
    void ContinueStartup();

    /// The wait window, shown while a screen change takes a moment.
    void showWaitWindow();
    void closeWaitWindow();

    /// The version window, modal, centred over `over`.
    void showVersionWindow(QWidget* over);

    AppState& state() { return m_state; }
    const Clock& clock() const { return m_clock; }
    RandomSource& random() { return m_random; }

signals:
    void programEnded(int exitCode);

private:
    AppState& m_state;
    const Clock& m_clock;
    RandomSource& m_random;
    MessageBoxes& m_boxes;
    std::filesystem::path m_programFolder;
    QPointer<Firstfrm> m_splash;
    QPointer<BASEFRM> m_waitWindow;
    QPointer<ConfigurationWindow> m_configurationWindow;
};

}  // namespace gaisan

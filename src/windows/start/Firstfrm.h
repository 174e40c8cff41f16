#pragma once

#include <QWidget>

class QLabel;
class QTimer;

namespace gaisan {

class SplashHost;

/// The splash window: painted first, so that the child sees the program start, while the
/// configuration is loaded 100 ms later.
class Firstfrm : public QWidget {
    Q_OBJECT

public:
    explicit Firstfrm(SplashHost& host);

    /// Shows the window, seeds the random numbers, writes today's era date, picks the season's
    /// colour and arms the start-up timer.
    void Form_Load();

private slots:
    void Timer1_Timer();

private:
    SplashHost& m_host;
    QLabel* m_label5;
    QTimer* m_timer1;
};

}  // namespace gaisan

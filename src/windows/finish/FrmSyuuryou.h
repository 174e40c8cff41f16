#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "kit/DesignCanvas.h"

namespace gaisan {

class FinishHost;

/// The finish screen after every recorded run: the time, the points, today's runs, a record or
/// time-up message with its sound, the clear label and on the final level the goal banner; then
/// "メニューへ" and, unless the student should move on, "もう一度". The decisions are made by
/// planFinish and chooseRetry.
class FrmSyuuryou : public DesignCanvas {
    Q_OBJECT

public:
    explicit FrmSyuuryou(FinishHost& host);

    void Form_Load();
    void Form_Activate();

private slots:
    void Timer1_Timer();
    void Command4_Click();
    void Command5_Click();

private:
    void disableButtons();

    FinishHost& m_host;
    QWidget* m_image1;
    QLabel* m_label13;
    QLabel* m_label14;
    QLabel* m_label15;
    QLabel* m_label16;
    QLabel* m_label17;
    QLabel* m_label18;
    QLabel* m_label19;
    QLabel* m_label20;
    QLabel* m_label2;
    QWidget* m_picture1;
    QPushButton* m_command4;
    QPushButton* m_command5;
    QTimer* m_timer1;
};

}  // namespace gaisan

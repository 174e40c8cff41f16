#pragma once

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <array>
#include <memory>

#include "kit/DesignCanvas.h"
#include "rules/drill/AnswerEntry.h"
#include "rules/drill/RunControl.h"

namespace gaisan {

class DrillHost;

/// The drill screen: status labels, the problem area, the time bar, the count-down boxes and
/// the end-of-run message. The run's rules live in the student's session; this window feeds it
/// keys and ticks and shows what it decided.
class MainFrm : public DesignCanvas {
    Q_OBJECT

public:
    explicit MainFrm(DrillHost& host);
    ~MainFrm() override;

    /// Sets up the run and shows its first problem; the run clock starts.
    void Form_Activate();

    void 初期設定();
    void レベル別設定();
    void スタート();
    void 問題作成表示();
    /// The end of the run: the message, the record, the wait window and, a second later, the
    /// finish screen. Runs once per run however often it is called.
    void EndRun();
    /// Waits `seconds` while the windows stay responsive, then hands over to the finish screen.
    void WaitSeconds(int seconds);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void sTimer1_Timer();
    void sTimer2_Timer();

private:
    QWidget* panel(const QString& name, QWidget* parent, const QRect& at, const QColor& colour);
    void buildStatusPanel();
    void buildProblemArea();
    void showBoxes();
    void showRemaining();
    void showMinutesSinceLogin();
    void setBarWidth(QWidget* shape, double width);
    void yieldShowingBoxes();

    DrillHost& m_host;
    /// The time bar's width per second of the time limit.
    double m_barScale = 0;

    QWidget* m_sPicture1 = nullptr;
    QWidget* m_picture2 = nullptr;
    QWidget* m_sPicture2 = nullptr;
    QLabel* m_sLabel2 = nullptr;
    QLabel* m_sLabel7 = nullptr;
    QLabel* m_sLabel8 = nullptr;
    QLabel* m_sLabel9 = nullptr;
    QLabel* m_sLabel10 = nullptr;
    QLabel* m_sLabel11 = nullptr;
    QLabel* m_sLabel12 = nullptr;
    QLabel* m_sLabel13 = nullptr;
    QLabel* m_sLabel14 = nullptr;
    QWidget* m_sShape2 = nullptr;
    QWidget* m_sShape3 = nullptr;
    QWidget* m_sShape4 = nullptr;
    QWidget* m_sShape5 = nullptr;
    QWidget* m_sShape7 = nullptr;
    std::array<QWidget*, kLastCountdownBox + 1> m_sPicture3{};
    std::array<QLabel*, kBoxCount + 1> m_inputLabel2{};
    std::array<QLabel*, kBoxCount + 1> m_hyoujiLabel{};
    QLabel* m_label3 = nullptr;
    QLabel* m_seikaihyoujiLabel = nullptr;
    QPushButton* m_commandkakunin = nullptr;
    QLabel* m_lblsss1 = nullptr;
    QLabel* m_lblsss2 = nullptr;
    QTimer* m_sTimer1 = nullptr;
    QTimer* m_sTimer2 = nullptr;
};

}  // namespace gaisan

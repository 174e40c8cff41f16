#pragma once

#include <QWidget>

#include "rules/analysis/MistakeScreenTexts.h"

namespace gaisan {

/// The small week-by-week chart of the analysis screen.
class TrendView : public QWidget {
    Q_OBJECT

public:
    explicit TrendView(QWidget* parent);

    void showTrend(Trend trend);
    const Trend& trend() const { return m_trend; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Trend m_trend;
};

}  // namespace gaisan

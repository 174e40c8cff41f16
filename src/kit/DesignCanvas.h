#pragma once

#include <QLabel>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

namespace gaisan {

/// A screen laid out for 1024 × 768 pixels, the way every classroom screen of the suite is
/// designed. Shown full-screen on a larger display it is scaled up evenly (positions, sizes and
/// fonts) and centred, rather than left small in a corner; on a smaller one it is scaled down.
/// Font sizes stay even, because the fixed-layout rows align only at even pixel sizes.
class DesignCanvas : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDesignWidth = 1024;
    static constexpr int kDesignHeight = 768;

    explicit DesignCanvas(QWidget* parent = nullptr);

    /// Puts `widget` at `design` (in design pixels, relative to its parent widget) with a font of
    /// `fontPixels` design pixels (0 keeps the widget's font), and keeps it there as the canvas
    /// is scaled.
    void place(QWidget* widget, const QRect& design, int fontPixels = 0);

    /// The design rectangle `widget` was placed at.
    QRect designRect(const QWidget* widget) const;
    /// Moves or resizes a placed widget in design pixels.
    void setDesignRect(QWidget* widget, const QRect& design);

    /// A new label named `name`, placed like `place` does.
    QLabel* addLabel(const QString& name, const QString& text, QWidget* parent, const QRect& design,
                     int fontPixels, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);

    /// Changes the design font size of a placed widget.
    void setDesignFont(QWidget* widget, int fontPixels);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Placement {
        QPointer<QWidget> widget;
        QRect design;
        int fontPixels;
    };

    void apply(const Placement& placement) const;

    std::vector<Placement> m_placements;
    double m_scale = 1.0;
    QPoint m_origin;
};

/// Shows a screen full-screen and in front.
void showScreen(QWidget* screen);

/// The object name of element `index` of a control array, such as "InputLabel2_3".
QString arrayName(const QString& name, int index);

}  // namespace gaisan

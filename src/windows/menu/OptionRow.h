#pragma once

#include <QRadioButton>
#include <QWidget>

#include <array>
#include <string_view>
#include <vector>

namespace gaisan {

class DesignCanvas;

/// A row of radio buttons on a panel of its own, each 108 design pixels wide and 110 apart: the
/// level menu's view options (`Picture5`, `Option2_0` to `Option2_2`) and list options
/// (`Picture1`, `Option1_1` to `Option1_3`). It only shows and reports the choice; the menu
/// decides what a click builds. Options are numbered from `firstIndex`, as their names are.
class OptionRow : public QWidget {
    Q_OBJECT

public:
    /// Lays the panel `name` out at `at` (design pixels) in `parent` on `canvas`, with one option
    /// named `optionName`_index per caption.
    OptionRow(DesignCanvas& canvas, QWidget* parent, const QString& name, const QRect& at,
              const QString& optionName, int firstIndex, const QStringList& captions);

    bool isChecked(int index) const { return option(index)->isChecked(); }
    /// Checks option `index` without running its click.
    void check(int index) { option(index)->setChecked(true); }
    /// The option checked, or `fallback` when none is.
    int checked(int fallback) const;
    void setCaption(int index, const QString& caption) { option(index)->setText(caption); }
    /// The captions of the options, in order.
    void setCaptions(const std::array<std::string_view, 3>& captions);

signals:
    void clicked(int index);

private:
    QRadioButton* option(int index) const { return m_options.at(index - m_firstIndex); }

    int m_firstIndex;
    std::vector<QRadioButton*> m_options;
};

}  // namespace gaisan

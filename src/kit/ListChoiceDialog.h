#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>

class QWidget;

namespace gaisan {

/// A question answered by choosing one line of a list.
struct ListChoice {
    QString dialogName;  ///< the dialog's object name, by which a window test finds it
    QString listName;    ///< the list's object name
    QString title;
    QString words;      ///< what to choose, above the list
    QStringList items;  ///< the lines, the first chosen to begin with
};

/// The line the user chooses (by OK or a double-click), or nothing on キャンセル. The buttons are
/// named here, not left to Qt, so that they are Japanese whatever the machine's locale; the list
/// is wide enough for its longest line and tall enough for up to ten, as far as the screen has
/// room (dialogRoom): a longer line wraps, more lines scroll.
std::optional<std::size_t> chooseFromList(QWidget* parent, const ListChoice& choice);

}  // namespace gaisan

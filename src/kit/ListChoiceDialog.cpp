#include "kit/ListChoiceDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "kit/DialogRoom.h"

namespace gaisan {

std::optional<std::size_t> chooseFromList(QWidget* parent, const ListChoice& choice) {
    QDialog dialog(parent);
    dialog.setObjectName(choice.dialogName);
    dialog.setWindowTitle(choice.title);
    QFont font = dialog.font();
    font.setPixelSize(18);
    dialog.setFont(font);
    auto* layout = new QVBoxLayout(&dialog);
    auto* words = new QLabel(choice.words, &dialog);
    words->setWordWrap(true);
    layout->addWidget(words);
    auto* list = new QListWidget(&dialog);
    list->setObjectName(choice.listName);
    list->addItems(choice.items);
    list->setCurrentRow(0);
    // As wide as the longest line where the screen has room; a longer line wraps in the list.
    const QSize room = dialogRoom(parent);
    const QMargins margins = layout->contentsMargins();
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int widest = room.width() - margins.left() - margins.right();
    const int rows = std::min(static_cast<int>(choice.items.size()), 10);
    list->setMinimumSize(
        std::min(list->sizeHintForColumn(0) + 2 * list->frameWidth() + scrollBar + 8, widest),
        std::min(rows * list->sizeHintForRow(0) + 2 * list->frameWidth(), room.height() / 2));
    list->setWordWrap(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setResizeMode(QListView::Adjust);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.setMaximumSize(room);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
    return static_cast<std::size_t>(list->currentRow());
}

}  // namespace gaisan

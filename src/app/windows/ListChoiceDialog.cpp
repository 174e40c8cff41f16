#include "app/windows/ListChoiceDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace gaisan {

std::optional<std::size_t> chooseFromList(QWidget* parent, const ListChoice& choice) {
    QDialog dialog(parent);
    dialog.setObjectName(choice.dialogName);
    dialog.setWindowTitle(choice.title);
    QFont font = dialog.font();
    font.setPixelSize(18);
    dialog.setFont(font);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(choice.words, &dialog));
    auto* list = new QListWidget(&dialog);
    list->setObjectName(choice.listName);
    list->addItems(choice.items);
    list->setCurrentRow(0);
    const int rows = std::min(static_cast<int>(choice.items.size()), 10);
    list->setMinimumSize(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 24,
                         rows * list->sizeHintForRow(0) + 2 * list->frameWidth());
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) return std::nullopt;
    return static_cast<std::size_t>(list->currentRow());
}

}  // namespace gaisan

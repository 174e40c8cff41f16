#include "kit/SaveFileDialog.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QSplitter>
#include <QTreeView>

namespace gaisan {

std::unique_ptr<QFileDialog> makeSaveFileDialog(QWidget* parent, const QString& title,
                                                const QString& suggested, const QString& filter) {
    auto dialog = std::make_unique<QFileDialog>(parent, title, suggested, filter);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->selectFile(suggested);
    dialog->setViewMode(QFileDialog::Detail);
    // The folder is read after the dialog opens, so the size, type and date columns follow
    // their contents as the rows arrive; the name takes what is left.
    if (auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    dialog->resize(dialog->sizeHint().expandedTo(QSize(900, 540)));
    // The places beside the folder show their names, not "コ…".
    if (auto* splitter = dialog->findChild<QSplitter*>(QStringLiteral("splitter")))
        splitter->setSizes({160, dialog->width() - 160});
    return dialog;
}

QString chooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                       const QString& filter) {
    const std::unique_ptr<QFileDialog> dialog =
        makeSaveFileDialog(parent, title, suggested, filter);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().constFirst();
}

}  // namespace gaisan

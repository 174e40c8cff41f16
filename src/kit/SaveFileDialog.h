#pragma once

#include <QString>

#include <memory>

class QFileDialog;
class QWidget;

namespace gaisan {

/// The dialog that asks where to save a file: Qt's own rather than the desktop's, so that it
/// speaks the program's language on every desktop, and its columns wide enough for the sizes and
/// dates in full.
std::unique_ptr<QFileDialog> makeSaveFileDialog(QWidget* parent, const QString& title,
                                                const QString& suggested, const QString& filter);

/// Asks with that dialog; the chosen file, or empty when the teacher cancels.
QString chooseSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                       const QString& filter);

}  // namespace gaisan

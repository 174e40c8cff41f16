#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>

namespace gaisan {

/// The program's message box: an icon, a text and standard buttons, as QMessageBox shows them,
/// but never larger than the screen has room for (dialogRoom). A line too long for the width
/// wraps, between words where it can and anywhere in a file's path; a text too tall scrolls.
/// The text can be selected and copied, so that a teacher can pass a file's name on.
class MessageDialog : public QDialog {
    Q_OBJECT

public:
    MessageDialog(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                  const QString& text, QDialogButtonBox::StandardButtons buttons,
                  QDialogButtonBox::StandardButton defaultButton);

    /// Shows the dialog until a button is clicked; the button, or NoButton when the dialog was
    /// closed otherwise (Escape, the window's close box).
    QDialogButtonBox::StandardButton ask();

private:
    QDialogButtonBox* m_buttons;
    QDialogButtonBox::StandardButton m_clicked = QDialogButtonBox::NoButton;
};

}  // namespace gaisan

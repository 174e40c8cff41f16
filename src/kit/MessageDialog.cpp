#include "kit/MessageDialog.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "kit/DialogRoom.h"

namespace gaisan {
namespace {

// A short message is no narrower than this, as in a usual message box.
constexpr int kNarrowest = 360;

QStyle::StandardPixmap pixmapOf(QMessageBox::Icon icon) {
    switch (icon) {
        case QMessageBox::Question:
            return QStyle::SP_MessageBoxQuestion;
        case QMessageBox::Warning:
            return QStyle::SP_MessageBoxWarning;
        case QMessageBox::Critical:
            return QStyle::SP_MessageBoxCritical;
        default:
            return QStyle::SP_MessageBoxInformation;
    }
}

}  // namespace

MessageDialog::MessageDialog(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                             const QString& text, QDialogButtonBox::StandardButtons buttons,
                             QDialogButtonBox::StandardButton defaultButton)
    : QDialog(parent), m_buttons(new QDialogButtonBox(buttons, this)) {
    setObjectName(QStringLiteral("MessageDialog"));
    setWindowTitle(title);
    auto* content = new QHBoxLayout;
    int iconWidth = 0;
    if (icon != QMessageBox::NoIcon) {
        auto* picture = new QLabel(this);
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        picture->setPixmap(style()->standardIcon(pixmapOf(icon), nullptr, this).pixmap(size));
        content->addWidget(picture, 0, Qt::AlignTop);
        // The layout has no parent yet, so it cannot say its spacing: ask the style.
        iconWidth = size + style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, this);
    }
    // A read-only text box drawn like a label: unlike a label it wraps inside a word and
    // scrolls, which a path or a list of hundreds of lines needs.
    auto* words = new QTextEdit(this);
    words->setObjectName(QStringLiteral("MessageText"));
    words->setPlainText(text);
    words->setReadOnly(true);
    words->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    words->setFrameShape(QFrame::NoFrame);
    words->viewport()->setAutoFillBackground(false);
    words->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    words->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    words->setFocusPolicy(Qt::NoFocus);
    content->addWidget(words, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(content);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::clicked, this, [this](QAbstractButton* button) {
        m_clicked = m_buttons->standardButton(button);
        accept();
    });
    if (QPushButton* chosen = m_buttons->button(defaultButton)) {
        chosen->setDefault(true);
        chosen->setFocus();
    }

    // The text as wide as its longest line and as tall as all of it, as far as the screen has
    // room; the rest wraps and scrolls. A scroll bar's width is kept for the scrolling case.
    const QSize room = dialogRoom(parent);
    const QMargins margins = layout->contentsMargins();
    const int roomWidth = room.width() - margins.left() - margins.right() - iconWidth;
    const int roomHeight = room.height() - margins.top() - margins.bottom() - layout->spacing() -
                           m_buttons->sizeHint().height();
    const int scrollBar = words->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    // Measured on a document of its own: the text box lays its own out only once it is shown.
    QTextDocument measured;
    measured.setDefaultFont(words->font());
    measured.setDocumentMargin(words->document()->documentMargin());
    QTextOption wrapping;
    wrapping.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    measured.setDefaultTextOption(wrapping);
    measured.setPlainText(text);
    // A pixel to spare, so that the longest line never wraps at its last character.
    const int natural = static_cast<int>(std::ceil(measured.idealWidth())) + 1;
    const int width = std::clamp(natural + scrollBar, kNarrowest, roomWidth);
    measured.setTextWidth(width - scrollBar);
    const int height = static_cast<int>(std::ceil(measured.size().height()));
    words->setFixedSize(width, std::min(height, roomHeight));
    setMaximumSize(room);
}

QDialogButtonBox::StandardButton MessageDialog::ask() {
    m_clicked = QDialogButtonBox::NoButton;
    exec();
    return m_clicked;
}

}  // namespace gaisan

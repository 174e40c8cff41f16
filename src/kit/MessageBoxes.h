#pragma once

#include <QString>

class QWidget;

namespace gaisan {

/// The program's message boxes, behind an interface so that a window test can answer them
/// without a person at the keyboard.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    /// The buttons of a question.
    enum class Answers { YesNo, OkCancel };

    /// A box with an OK button; returns when it has been acknowledged.
    virtual void inform(QWidget* parent, const QString& title, const QString& text) = 0;
    /// A question; true when it was answered with Yes or OK.
    virtual bool ask(QWidget* parent, const QString& title, const QString& text,
                     Answers answers) = 0;
};

/// The real boxes.
class QtMessageBoxes final : public MessageBoxes {
public:
    void inform(QWidget* parent, const QString& title, const QString& text) override;
    bool ask(QWidget* parent, const QString& title, const QString& text, Answers answers) override;
};

}  // namespace gaisan

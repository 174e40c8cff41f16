#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <string>

#include "rules/admin/PasscodeQuestion.h"

namespace gaisan {

/// "先生の確認": asks for the teacher's passcode before the maintenance panel opens. The entry is
/// masked; a wrong passcode leaves the dialog open with the tries left, and the rule of
/// PasscodeTries, counted in the data folder for every machine, makes it wait a minute after the
/// third. It accepts only on the right passcode.
/// A damaged passcode file is told and nothing is asked: no passcode could open it. The texts
/// are its own, so it stays Japanese whatever the machine's locale.
class PasscodeDialog : public QDialog {
    Q_OBJECT

public:
    PasscodeDialog(QWidget* parent, StoredPasscode stored, PasscodeTries& tries);

    /// "OK": checks what was typed; nothing typed is no try.
    void Ok_Click();

    /// Once accepted: what kept the count of wrong tries from being removed, for the teacher to
    /// hear after the panel opens; empty when nothing did.
    const std::string& countProblemWhenOpened() const { return m_countProblemWhenOpened; }

private:
    void showMessage(const PasscodeOutcome& outcome);

    StoredPasscode m_stored;
    PasscodeTries& m_tries;
    QLabel* m_message;
    QLineEdit* m_passcode;
    QPushButton* m_ok;
    std::string m_countProblemWhenOpened;
};

}  // namespace gaisan

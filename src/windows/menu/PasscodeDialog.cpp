#include "windows/menu/PasscodeDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <utility>

namespace gaisan {

PasscodeDialog::PasscodeDialog(QWidget* parent, StoredPasscode stored, PasscodeTries& tries)
    : QDialog(parent), m_stored(std::move(stored)), m_tries(tries) {
    setObjectName(QStringLiteral("PasscodeDialog"));
    setWindowTitle(QStringLiteral("先生の確認"));

    auto* question = new QLabel(QStringLiteral("パスコードを入れてください"), this);
    question->setObjectName(QStringLiteral("PasscodeQuestion"));
    m_passcode = new QLineEdit(this);
    m_passcode->setObjectName(QStringLiteral("Passcode"));
    m_passcode->setEchoMode(QLineEdit::Password);
    // No input method: what is typed must reach the entry as typed, never as a conversion.
    m_passcode->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_passcode->setMinimumWidth(420);
    m_message = new QLabel(this);
    m_message->setObjectName(QStringLiteral("PasscodeMessage"));
    m_message->setStyleSheet(QStringLiteral("color: #c00000;"));
    m_message->setWordWrap(true);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("PasscodeOk"));
    m_ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("PasscodeCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addWidget(m_passcode);
    layout->addWidget(m_message);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &PasscodeDialog::Ok_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    if (m_stored.state == StoredPasscode::State::Damaged) {
        question->hide();
        m_passcode->hide();
        m_passcode->setEnabled(false);
        m_ok->setEnabled(false);
        cancel->setText(QStringLiteral("閉じる"));
        cancel->setDefault(true);
        showMessage({PasscodeOutcome::Kind::Damaged});
    } else {
        // Closing and opening the question again, or another machine's question, does not
        // shorten the wait.
        const std::string countProblem = m_tries.refresh();
        if (const int seconds = m_tries.secondsToWait(); seconds > 0) {
            showMessage({PasscodeOutcome::Kind::MustWait, 0, seconds, countProblem});
        }
    }
}

void PasscodeDialog::Ok_Click() {
    // An "OK" with nothing typed is a slip of the hand, not a try: it costs none.
    if (m_passcode->text().isEmpty()) {
        m_passcode->setFocus();
        return;
    }
    // Checking takes a noticeable moment on purpose; the cursor says the click was taken.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PasscodeOutcome outcome =
        tryPasscode(m_stored, m_tries, m_passcode->text().toUtf8().toStdString());
    QApplication::restoreOverrideCursor();
    m_passcode->clear();
    if (outcome.kind == PasscodeOutcome::Kind::Opened) {
        m_countProblemWhenOpened = outcome.countProblem;
        accept();
        return;
    }
    showMessage(outcome);
    m_passcode->setFocus();
}

void PasscodeDialog::showMessage(const PasscodeOutcome& outcome) {
    m_message->setText(QString::fromStdString(passcodeOutcomeText(outcome, m_stored.problem)));
    // The dialog was laid out for the question alone; a longer message would be cut off.
    adjustSize();
}

}  // namespace gaisan

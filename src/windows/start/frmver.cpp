#include "windows/start/frmver.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "kit/QtConversions.h"
#include "windows/start/ProgramVersion.h"

namespace gaisan {

frmver::frmver(std::string subjectTitle, QWidget* over)
    : QDialog(over),
      m_subjectTitle(std::move(subjectTitle)),
      m_label1(new QLabel(this)),
      m_label2(new QLabel(this)) {
    setObjectName(QStringLiteral("frmver"));
    setWindowTitle(QStringLiteral("バージョン"));
    setModal(true);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label2->setObjectName(QStringLiteral("Label2"));
    QFont titleFont = m_label1->font();
    titleFont.setPixelSize(40);
    m_label1->setFont(titleFont);
    m_label1->setAlignment(Qt::AlignCenter);
    m_label2->setAlignment(Qt::AlignCenter);

    auto* command1 = new QPushButton(QStringLiteral("O.K."), this);
    command1->setObjectName(QStringLiteral("Command1"));
    command1->setDefault(true);
    connect(command1, &QPushButton::clicked, this, &QDialog::accept);
    // Present in the suite's shared window but never shown by this program.
    auto* command2 = new QPushButton(this);
    command2->setObjectName(QStringLiteral("Command2"));
    command2->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 30, 40, 30);
    layout->setSpacing(16);
    layout->addWidget(m_label1);
    layout->addWidget(m_label2);
    layout->addWidget(command1, 0, Qt::AlignCenter);
    setFixedSize(sizeHint().expandedTo(QSize(360, 240)));
    if (over) move(over->geometry().center() - rect().center());
}

void frmver::Form_Activate() {
    m_label1->setText(toQString(m_subjectTitle));
    m_label2->setText(QStringLiteral("Version%1.%2.%3")
                          .arg(kVersionMajor)
                          .arg(kVersionMinor)
                          .arg(kVersionRevision));
}

}  // namespace gaisan

#include "windows/menu/CsvOptionsDialog.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace gaisan {
namespace {

QDate toQDate(const CivilDate& date) { return {date.year, date.month, date.day}; }

int serialOf(const QDate& date) { return daySerial({date.year(), date.month(), date.day()}); }

QDateEdit* dateEdit(const QString& name, const QDate& date, QWidget* parent) {
    auto* edit = new QDateEdit(date, parent);
    edit->setObjectName(name);
    edit->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    edit->setCalendarPopup(true);
    return edit;
}

}  // namespace

CsvOptionsDialog::CsvOptionsDialog(QWidget* parent, const CivilDate& today) : QDialog(parent) {
    setObjectName(QStringLiteral("CsvOptions"));
    setWindowTitle(QStringLiteral("CSVで保存"));
    const QDate last = toQDate(today);

    auto* days = new QGroupBox(QStringLiteral("保存する成績の日付"), this);
    m_allDays = new QCheckBox(QStringLiteral("すべて"), days);
    m_allDays->setObjectName(QStringLiteral("AllDays"));
    m_allDays->setChecked(true);
    m_from = dateEdit(QStringLiteral("FromDate"), last.addDays(-29), days);
    m_to = dateEdit(QStringLiteral("ToDate"), last, days);
    m_problem = new QLabel(days);
    m_problem->setObjectName(QStringLiteral("RangeProblem"));
    m_problem->setStyleSheet(QStringLiteral("color: #c00000;"));
    auto* range = new QGridLayout(days);
    range->addWidget(m_allDays, 0, 0, 1, 4);
    range->addWidget(m_from, 1, 0);
    range->addWidget(new QLabel(QStringLiteral("から"), days), 1, 1);
    range->addWidget(m_to, 1, 2);
    range->addWidget(new QLabel(QStringLiteral("まで"), days), 1, 3);
    range->addWidget(m_problem, 2, 0, 1, 4);

    auto* characters = new QGroupBox(QStringLiteral("文字コード"), this);
    m_utf8 = new QRadioButton(QStringLiteral("UTF-8（新しい表計算ソフト用）"), characters);
    m_utf8->setObjectName(QStringLiteral("Utf8"));
    m_utf8->setChecked(true);
    m_cp932 = new QRadioButton(QStringLiteral("CP932（古い表計算ソフト用）"), characters);
    m_cp932->setObjectName(QStringLiteral("Cp932"));
    auto* encodings = new QVBoxLayout(characters);
    encodings->addWidget(m_utf8);
    encodings->addWidget(m_cp932);

    m_next = new QPushButton(QStringLiteral("保存先を選ぶ"), this);
    m_next->setObjectName(QStringLiteral("Next"));
    m_next->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("キャンセル"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_next);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(days);
    layout->addWidget(characters);
    layout->addLayout(buttons);

    connect(m_allDays, &QCheckBox::toggled, this, &CsvOptionsDialog::refresh);
    connect(m_from, &QDateEdit::dateChanged, this, &CsvOptionsDialog::refresh);
    connect(m_to, &QDateEdit::dateChanged, this, &CsvOptionsDialog::refresh);
    connect(m_next, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
}

void CsvOptionsDialog::refresh() {
    const bool someDays = !m_allDays->isChecked();
    m_from->setEnabled(someDays);
    m_to->setEnabled(someDays);
    const bool backwards = someDays && m_from->date() > m_to->date();
    m_problem->setText(backwards ? QStringLiteral("終わりの日付が始めの日付より前です。")
                                 : QString());
    m_next->setEnabled(!backwards);
}

std::optional<CsvOptions> CsvOptionsDialog::options() const {
    CsvOptions chosen;
    chosen.encoding = m_cp932->isChecked() ? ExportEncoding::Cp932 : ExportEncoding::Utf8;
    if (!m_allDays->isChecked()) {
        if (m_from->date() > m_to->date()) return std::nullopt;
        chosen.period = {serialOf(m_from->date()), serialOf(m_to->date())};
    }
    return chosen;
}

std::optional<CsvOptions> CsvOptionsDialog::ask(QWidget* parent, const CivilDate& today) {
    CsvOptionsDialog dialog(parent, today);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.options();
}

}  // namespace gaisan

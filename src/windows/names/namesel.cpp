#include "windows/names/namesel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "kit/QtConversions.h"
#include "kit/WaitPanel.h"
#include "platform/Failure.h"
#include "rules/student/StudentScreenTexts.h"
#include "rules/student/StudentSession.h"
#include "stores/roster/Roster.h"
#include "windows/names/NameSelectionHost.h"

namespace gaisan {
namespace {

const QString kPrompt = toQString(kNamePrompt);

}  // namespace

namesel::namesel(NameSelectionHost& host)
    : m_host(host),
      m_label4(new QLabel(this)),
      m_label1(new QLabel(kPrompt, this)),
      m_label2(new QLabel(this)),
      m_combo1(new QComboBox(this)),
      m_list1(new QListWidget(this)),
      m_command14(new QPushButton(toQString(kNameOk), this)),
      m_command7(new QPushButton(toQString(kLeaveToLauncher), this)) {
    setObjectName(QStringLiteral("namesel"));
    setWindowTitle(QStringLiteral("概算ドリル"));
    m_label4->setObjectName(QStringLiteral("Label4"));
    m_label4->setCursor(Qt::PointingHandCursor);
    m_label4->installEventFilter(this);
    place(m_label4, {24, 8, 360, 88}, 64);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setStyleSheet(
        QStringLiteral("background-color: white; border: 2px solid #606060; padding-left: 8px;"));
    place(m_label1, {400, 24, 600, 60}, 32);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->hide();

    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setToolTip(toQString(kGradeBandTip));
    m_combo1->addItem(toQString(gradeBands().front()));
    place(m_combo1, {24, 112, 200, 40}, 20);
    connect(m_combo1, &QComboBox::activated, this, &namesel::Combo1_Click);

    for (int i = 0; i < 4; ++i) {
        m_option1[i] = new QRadioButton(toQString(kFigureModeCaptions.at(i)), this);
        m_option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        place(m_option1[i], {240 + (i % 2) * 384, 104 + (i / 2) * 32, 380, 30}, 18);
        connect(m_option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    }
    m_option1[0]->setChecked(true);

    m_list1->setObjectName(QStringLiteral("List1"));
    // Every row has the same height; telling the list so spares it measuring 5000 rows.
    m_list1->setUniformItemSizes(true);
    place(m_list1, {24, 176, 976, 504}, 24);
    connect(m_list1, &QListWidget::currentRowChanged, this, &namesel::List1_Click);
    connect(m_list1, &QListWidget::itemDoubleClicked, this, &namesel::List1_DblClick);

    m_command14->setObjectName(QStringLiteral("Command14"));
    place(m_command14, {560, 696, 200, 56}, 28);
    connect(m_command14, &QPushButton::clicked, this, &namesel::Command14_Click);
    m_command7->setObjectName(QStringLiteral("Command7"));
    place(m_command7, {776, 696, 224, 56}, 18);
    connect(m_command7, &QPushButton::clicked, this, &namesel::Command7_Click);

    // The wait panel covers the whole window while the list is built.
    const QRect whole(0, 0, kDesignWidth, kDesignHeight);
    m_picture5 = addWaitPanel(
        *this, {QStringLiteral("Picture5"), whole, QStringLiteral("Label19"), whole, 40});

    // The form sees every key first, whichever control has the focus.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
}

void namesel::Form_Load() {
    QPalette colours = palette();
    StudentSession& session = m_host.session();
    colours.setColor(QPalette::Window, toQColor(session.seasonColour()));
    setPalette(colours);
    m_picture5->setPalette(colours);
    m_picture5->raise();
    m_picture5->show();
    session.beginVisit();
    showScreen(this);
    QCoreApplication::processEvents();
    m_figureMode = FigureMode::TodayAndTotalRuns;
    名簿表示();
    m_label4->setText(toQString(session.profile().SubjectTitle));
    selectRow(0);
    QCoreApplication::processEvents();
    m_picture5->hide();
}

void namesel::Form_Activate() {
    m_figureMode = FigureMode::TodayAndTotalPoints;
    if (!m_option1[1]->isChecked()) {
        m_option1[1]->setChecked(true);
        Option1_Click(1);
    }
    if (!m_bandsFilled) {
        m_combo1->clear();
        for (const std::string& band : gradeBands()) m_combo1->addItem(toQString(band));
        m_combo1->setCurrentIndex(0);
        m_bandsFilled = true;
    }
    m_host.session().chooseGradeBand("全学年");
    QCoreApplication::processEvents();
    m_label1->setText(kPrompt);
    QCoreApplication::processEvents();
    m_picture5->hide();
    m_list1->setFocus();
}

void namesel::名簿表示() {
    auto read = m_host.session().readNameList(m_figureMode, m_combo1->currentText().toStdString());
    if (!read) {
        m_host.endWithFailure(read.error());
        return;
    }
    // Told once a visit: the list is rebuilt at every change of band or figures.
    if (!m_rosterProblemReported) {
        if (read->unusableRoster) {
            m_host.reportUnusableFile(*read->unusableRoster);
            m_rosterProblemReported = true;
        } else if (!read->skippedEntries.empty()) {
            m_host.reportSkippedRosterEntries(read->rosterFile, read->skippedEntries);
            m_rosterProblemReported = true;
        }
    }
    m_list = std::move(read->list);
    const QSignalBlocker quiet(m_list1);
    m_list1->clear();
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(m_list.rows.size()));
    for (const std::string& row : m_list.rows) rows.append(toQString(row));
    m_list1->addItems(rows);
    selectRow(0);
}

void namesel::selectRow(int row) {
    m_list1->setCurrentRow(row);
    List1_Click();
}

void namesel::Combo1_Click() {
    m_host.session().chooseGradeBand(m_combo1->currentText().toStdString());
    名簿表示();
    m_list1->setFocus();
}

void namesel::Option1_Click(int index) {
    m_figureMode = static_cast<FigureMode>(index);
    名簿表示();
}

bool namesel::showChosenRow(std::string (*rowText)(std::string_view)) {
    const int row = m_list1->currentRow();
    if (row <= 0) {
        m_label1->setText(kPrompt);
        m_chosenStudent = 0;
        return false;
    }
    m_label1->setText(toQString(rowText(m_list.rows.at(row))));
    m_chosenStudent = m_list.students.at(row - 1);
    m_label2->setText(QString::number(m_chosenStudent));
    return true;
}

void namesel::List1_Click() { showChosenRow(chosenRowText); }

void namesel::List1_DblClick() {
    if (showChosenRow(rowTextBeforeFigures)) Command14_Click();
}

void namesel::Command14_Click() {
    // After O.K. the button is hidden until the menu takes over: no second login.
    if (m_command14->isHidden()) return;
    if (m_label1->text() == kPrompt || m_label1->text().isEmpty()) {
        m_host.session().cues().PlayWrongCue();
        return;
    }
    m_host.session().logIn(m_chosenStudent);
    m_command14->hide();
    m_picture5->raise();
    m_picture5->show();
    QCoreApplication::processEvents();
    m_host.logIn();
}

void namesel::Command7_Click() { m_host.leaveToLauncher(); }

void namesel::Label4_Click() {
    m_host.showVersionWindow(this);
    // Closing the version window activates this screen again.
    Form_Activate();
}

bool namesel::Form_KeyPress(const QString& key) {
    if (key == QLatin1String("1")) {
        if (m_command14->isVisible()) Command14_Click();
        return true;
    }
    if (key == QLatin1String("0")) {
        Command7_Click();
        return true;
    }
    return false;
}

bool namesel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && watched == m_label4) {
        Label4_Click();
        return true;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (Form_KeyPress(key->text())) return true;
    const bool confirms =
        key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched == m_list1 && confirms) {
        Command14_Click();
        return true;
    }
    return false;
}

void namesel::keyPressEvent(QKeyEvent* event) {
    if (!Form_KeyPress(event->text())) DesignCanvas::keyPressEvent(event);
}

}  // namespace gaisan

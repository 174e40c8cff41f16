// The level menu is one screen with many controls of its own (the level columns' paging, the
// views and lists, the periods and bands, the panels' wiring); each part's rules and widgets
// already live in files of their own, and what is left is the composition, kept in one file so
// that the screen's order of events reads top to bottom. That is why this file runs past 500
// lines: split further, one event's steps would be spread over several files.

#include "windows/menu/seisekitime1.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>
#include <climits>
#include <utility>

#include "base/Periods.h"
#include "kit/MessageBoxes.h"
#include "kit/QtConversions.h"
#include "kit/WaitPanel.h"
#include "platform/Clock.h"
#include "platform/Utf8.h"
#include "rules/counts/Counts.h"
#include "rules/menu/LevelMenu.h"
#include "rules/menu/MenuKeys.h"
#include "rules/student/StudentScreenTexts.h"
#include "rules/student/StudentSession.h"
#include "stores/roster/Roster.h"
#include "windows/menu/GraphPanel.h"
#include "windows/menu/LevelColumn.h"
#include "windows/menu/MaintenancePanel.h"
#include "windows/menu/MenuHost.h"
#include "windows/menu/OptionRow.h"
#include "windows/menu/PasscodeDialog.h"

// Longer than our files usually are, on purpose: this is the menu's one list of named steps
// (activation, the view and list dispatch, the lists, paging, the keys), which the navigator,
// the tests and the benchmark call by name. What stands alone is elsewhere: the columns in
// LevelColumn, the options in OptionRow, the panels in GraphPanel and MaintenancePanel, and
// every row in the core's builders.

namespace gaisan {
namespace {

// The columns share this area; paging moves them inside it, and it hides whatever lies beyond
// its edges, so that a column out of view is never half shown.
constexpr QRect kColumnArea{16, 148, 972, 600};
constexpr int kColumnsInView = 4;

QString trimmed(const std::string& text) { return toQString(text).trimmed(); }

// The last period's text ends in a double quote on purpose: the period box has always shown it.
const QString kPeriods[] = {
    QStringLiteral("　　　今週の全成績"),   QStringLiteral("　　先週からの全成績"),
    QStringLiteral("　　１ヶ月間の全成績"), QStringLiteral("　　１年間の全成績"),
    QStringLiteral("　　今までの全成績\""),
};

int progressValue(std::uint64_t value) {
    return static_cast<int>(std::min<std::uint64_t>(value, INT_MAX));
}

}  // namespace

seisekitime1::seisekitime1(MenuHost& host)
    : m_flow(host), m_csvSaver(host.levelMenu(), host.clock(), host.boxes()), m_listPrinter(host) {
    setObjectName(QStringLiteral("seisekitime1"));
    setWindowTitle(QStringLiteral("概算ドリル"));
    buildHeader();
    buildSelectors();
    buildWaitPanels();
    m_graphPanel =
        new GraphPanel(host, *this, [this] { return m_combo1->currentText().toStdString(); });
    connect(m_command17, &QPushButton::clicked, m_graphPanel, &GraphPanel::Command17_Click);
}

void seisekitime1::buildHeader() {
    m_label11 = addLabel(QStringLiteral("Label11"), {}, this, {16, 6, 200, 48}, 32);
    m_label12 = addLabel(QStringLiteral("Label12"), {}, this, {224, 6, 380, 48}, 28);
    m_label13 = addLabel(QStringLiteral("Label13"), {}, this, {612, 10, 250, 36}, 18);
    m_label17 = addLabel(QStringLiteral("Label17"), {}, this, {868, 10, 140, 36}, 18);
    m_label18 = addLabel(QStringLiteral("Label18"), {}, this, {612, 52, 250, 36}, 18);
    m_command1 = new QPushButton(toQString(kMenuBack), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    place(m_command1, {868, 50, 140, 44}, 20);
    connect(m_command1, &QPushButton::clicked, this, &seisekitime1::Command1_Click);

    m_label5 = addLabel(QStringLiteral("Label5"), {}, this, {16, 56, 300, 36}, 20);
    const auto button = [this](const QString& name, const QString& text, const QRect& at) {
        auto* created = new QPushButton(text, this);
        created->setObjectName(name);
        place(created, at, 16);
        created->hide();
        return created;
    };
    // The teacher's commands and the graphs; their panels belong to later screens of the menu.
    m_command8 =
        button(QStringLiteral("Command8"), QStringLiteral("データ処理"), {324, 54, 120, 40});
    m_command17 = button(QStringLiteral("Command17"), QStringLiteral("グラフ"), {452, 54, 72, 40});

    m_columnArea = new QWidget(this);
    m_columnArea->setObjectName(QStringLiteral("Columns"));
    place(m_columnArea, kColumnArea);
    m_hScroll1 = new QScrollBar(Qt::Horizontal, this);
    m_hScroll1->setObjectName(QStringLiteral("HScroll1"));
    place(m_hScroll1, {kColumnArea.left(), kColumnArea.bottom() + 1, kColumnArea.width(), 16});
    m_hScroll1->hide();
    connect(m_hScroll1, &QScrollBar::valueChanged, this, &seisekitime1::HScroll1_Change);

    connect(m_command8, &QPushButton::clicked, this, &seisekitime1::Command8_Click);
    m_picture7 = new MaintenancePanel(*this, this);
    connect(m_picture7, &MaintenancePanel::recordsBrowserChosen, this, [this] {
        leaving();
        m_flow.showRecordsBrowser();
    });
    connect(m_picture7, &MaintenancePanel::criteriaEditorChosen, this, [this] {
        leaving();
        m_flow.showCriteriaEditor();
    });
    connect(m_picture7, &MaintenancePanel::csvExportChosen, this,
            [this] { m_csvSaver.save(this); });
    connect(m_picture7, &MaintenancePanel::listsPrintChosen, this, &seisekitime1::printLists);
    connect(m_picture7, &MaintenancePanel::mistakeAnalysisChosen, this, [this] {
        leaving();
        m_flow.showMistakeAnalysis();
    });
}

void seisekitime1::buildSelectors() {
    m_picture5 = new OptionRow(
        *this, this, QStringLiteral("Picture5"), {16, 100, 330, 40}, QStringLiteral("Option2"), 0,
        {QStringLiteral("ﾀｲﾑ表示"), QStringLiteral("ﾎﾟｲﾝﾄ表示"), QStringLiteral("個人ﾀｲﾑ")});
    connect(m_picture5, &OptionRow::clicked, this, &seisekitime1::Option2_Click);
    m_picture1 = new OptionRow(*this, this, QStringLiteral("Picture1"), {352, 100, 330, 40},
                               QStringLiteral("Option1"), 1, {QString(), QString(), QString()});
    connect(m_picture1, &OptionRow::clicked, this, &seisekitime1::listChosen);
    m_picture1->setCaptions(listOptionCaptions(RankingView::Points));

    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    place(m_combo1, {690, 100, 124, 40}, 18);
    connect(m_combo1, &QComboBox::activated, this, &seisekitime1::Combo1_Click);
    m_combo2 = new QComboBox(this);
    m_combo2->setObjectName(QStringLiteral("Combo2"));
    place(m_combo2, {820, 100, 188, 40}, 14);
    m_combo2->hide();
    connect(m_combo2, &QComboBox::activated, this, &seisekitime1::Combo2_Click);
}

void seisekitime1::buildWaitPanels() {
    m_picture2 = addWaitPanel(*this, {QStringLiteral("Picture2"),
                                      {0, 300, kDesignWidth, 160},
                                      QStringLiteral("Label16"),
                                      {0, 10, kDesignWidth, 90},
                                      40});
    m_progressBar = new QProgressBar(m_picture2);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    place(m_progressBar, {212, 110, 600, 28});

    // The wait panel of a list build.
    m_picture6 = addWaitPanel(*this, {QStringLiteral("Picture6"),
                                      {262, 400, 500, 120},
                                      QStringLiteral("Label21"),
                                      {0, 8, 500, 60},
                                      32,
                                      // Spelt so deliberately: the screen has always shown it so.
                                      QStringLiteral("Just a momento, please.")});
    m_progressBar2 = new QProgressBar(m_picture6);
    m_progressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    place(m_progressBar2, {40, 76, 420, 24});
}

void seisekitime1::buildColumn(int level, int width) {
    auto* column = new LevelColumn(*this, m_columnArea, m_flow.levelMenu(), level, width,
                                   kColumnArea.height());
    connect(column, &LevelColumn::startClicked, this, &seisekitime1::Command4_Click);
    connect(column, &LevelColumn::nameClicked, this, &seisekitime1::Label3_Click);
    m_columns.push_back(column);
}

void seisekitime1::listChosen(int option) {
    // From the student's own runs, a list option goes back to the view whose list it shows, so
    // that the view options always name what the lists hold.
    if (m_picture5->isChecked(2)) {
        m_picture5->check(m_viewMode == RankingView::Time ? 0 : 1);
        m_command17->hide();
    }
    Option1_Click(option);
}

void seisekitime1::Form_Load() {
    LevelMenu& menu = m_flow.levelMenu();
    menu.choices().PeriodChoice = static_cast<int>(Period::Month);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(menu.seasonColour()));
    setPalette(colours);
    m_picture2->setPalette(colours);

    for (const std::string& band : gradeBands()) m_combo1->addItem(toQString(band));
    m_combo1->setCurrentText(toQString(menu.gradeBand()));
    for (const QString& period : kPeriods) m_combo2->addItem(period);
    m_combo2->setCurrentIndex(menu.choices().PeriodChoice - 1);

    // Up to four levels share the width; more are paged four at a time with the scroll bar.
    const int levels = menu.profile().LevelCount;
    m_columnWidth = kColumnArea.width() / std::clamp(levels, 1, kColumnsInView);
    for (int level = 1; level <= levels; ++level) buildColumn(level, m_columnWidth);
    {
        // The range moves the value; the page is chosen when the menu becomes active.
        const QSignalBlocker quiet(m_hScroll1);
        m_hScroll1->setRange(1, std::max(1, levels - kColumnsInView + 1));
        m_hScroll1->setPageStep(1);
    }
    m_hScroll1->setVisible(levels > kColumnsInView);
    // Every key reaches the menu first, whichever control has the focus.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    m_picture2->raise();
}

void seisekitime1::showBusy(bool busy) {
    m_picture2->setVisible(busy);
    if (busy) m_picture2->raise();
}

void seisekitime1::Form_Activate() {
    LevelMenu& menu = m_flow.levelMenu();
    const Login& login = menu.login();
    const QString name = trimmed(login.StudentName);
    m_command8->setVisible(menu.teacherLoggedIn());
    m_label17->setText(toQString(minutesSinceLogInText(menu.minutesSinceLogIn())));

    m_menuReady = false;
    showBusy(true);
    QCoreApplication::processEvents();
    // Deliberately not the points view's own captions ("合計累計", "合計本日") until a view is
    // chosen: the menu has always opened with these.
    m_picture1->setCaption(1, QStringLiteral("累計順"));
    m_picture1->setCaption(2, QStringLiteral("本日順"));

    if (!m_flow.computeCounts()) return;
    const int student = login.StudentIndex;
    m_label18->setText(toQString(todayRunsText(menu.countTodaysRuns())));
    m_progressBar->setMaximum(menu.profile().LevelCount);

    // The points view ranked by total points, selected without running the options' clicks.
    m_viewMode = RankingView::Points;
    m_picture5->check(1);
    m_picture1->check(1);
    Option1_Click(1);

    m_label12->setText(name + QLatin1Char(' ') + toQString(login.StudentGradeLabel));
    m_label13->setText(toQString(studentSchoolText(student, menu.school().SchoolName)));
    const std::string& title = menu.profile().SubjectTitle;
    m_label11->setText(toQString(title));
    setDesignFont(m_label11, characterCount(title) > 9 ? 26 : 32);

    int& firstColumn = menu.choices().FirstColumn;
    if (firstColumn == 0 || firstColumn > m_hScroll1->maximum()) firstColumn = 1;
    m_hScroll1->setValue(firstColumn);
    HScroll1_Change();

    for (LevelColumn* column : m_columns) column->showStudentCounts(menu);
    Command9_Click();
    showBusy(false);
    QCoreApplication::processEvents();
    m_menuReady = true;
}

void seisekitime1::beginListBuild() {
    m_command1->setEnabled(false);
    for (LevelColumn* column : m_columns) {
        column->setStartEnabled(false);
        column->setListShown(false);
    }
    setSelectorsEnabled(false);
    m_picture6->show();
    m_picture6->raise();
    QCoreApplication::processEvents();
}

void seisekitime1::finishListBuild() {
    setSelectorsEnabled(true);
    m_command1->setEnabled(true);
    Command9_Click();
    for (LevelColumn* column : m_columns) {
        column->setListShown(!isPracticeLevel(m_flow.levelMenu().profile(), column->level()));
    }
    m_picture6->hide();
}

void seisekitime1::setSelectorsEnabled(bool enabled) {
    for (QWidget* selector :
         std::initializer_list<QWidget*>{m_picture5, m_picture1, m_combo1, m_combo2}) {
        selector->setEnabled(enabled);
    }
}

void seisekitime1::Option2_Click(int index) {
    m_command17->hide();
    m_graphPanel->hide();
    beginListBuild();
    if (index == 2) {
        m_command17->show();
        m_combo2->hide();
        if (buildList(ResultsList::PersonalRuns)) finishListBuild();
        return;
    }
    m_viewMode = index == 0 ? RankingView::Time : RankingView::Points;
    m_picture1->setCaptions(listOptionCaptions(m_viewMode));
    Option1_Click(m_picture1->checked(1));
}

void seisekitime1::Option1_Click(int index) {
    beginListBuild();
    m_combo2->hide();
    if (!buildList(listOfOption(m_viewMode, index))) return;
    finishListBuild();
}

bool seisekitime1::buildList(ResultsList list) {
    m_shownList = list;
    m_label5->setText(toQString(std::string(listTitle(list))));
    switch (list) {
        case ResultsList::BestTimes:
            Command6_Click();
            return true;
        case ResultsList::TotalPoints:
        case ResultsList::TodayPoints:
            m_pointsBasis =
                list == ResultsList::TotalPoints ? PointsBasis::Total : PointsBasis::Today;
            rankEveryLevel();
            return true;
        case ResultsList::TodayRuns:
            return Command5_Click();
        case ResultsList::PeriodRuns:
            return Command7_Click();
        case ResultsList::PersonalRuns:
            return Command16_Click();
    }
    return true;
}

void seisekitime1::Combo1_Click() {
    if (m_picture5->isChecked(0)) {
        Option2_Click(0);
    } else {
        // The student's own runs are of one student: a band change goes to the points view,
        // and the view options say so.
        m_picture5->check(1);
        Option2_Click(1);
    }
    if (!m_columns.empty()) m_columns[0]->focusStart();
}

void seisekitime1::Combo2_Click() {
    if (!m_picture1->isChecked(3)) return;
    m_flow.levelMenu().choices().PeriodChoice = m_combo2->currentIndex() + 1;
    Option1_Click(3);
}

void seisekitime1::HScroll1_Change() {
    const int levels = static_cast<int>(m_columns.size());
    int& firstColumn = m_flow.levelMenu().choices().FirstColumn;
    firstColumn = m_hScroll1->value();
    if (firstColumn > levels) firstColumn = 1;
    for (int level = 1; level <= levels; ++level) {
        int x = (level - firstColumn) * m_columnWidth;
        // Columns before the first are parked beyond the area's edge, out of sight like those
        // after the last column in view.
        if (x < 0) x = kColumnArea.width();
        setDesignRect(m_columns[level - 1], {x, 0, m_columnWidth, kColumnArea.height()});
    }
}

void seisekitime1::回数など表示() {
    for (LevelColumn* column : m_columns) {
        column->showListCaptions();
        column->clearList();
    }
}

void seisekitime1::成績リスト色表示() {
    for (LevelColumn* column : m_columns) column->clearSelection();
}

void seisekitime1::成績リスト色表示単独(int level) { m_columns.at(level - 1)->clearSelection(); }

void seisekitime1::setListProgress(std::uint64_t value, std::uint64_t maximum) {
    m_progressBar2->setRange(0, progressValue(maximum));
    m_progressBar2->setValue(progressValue(value));
}

void seisekitime1::Command3_Click(int level) {
    LevelColumn* column = m_columns.at(level - 1);
    column->showListCaptions();
    const LevelRanking ranking = m_flow.levelMenu().rank(level, m_viewMode, m_pointsBasis,
                                                         m_combo1->currentText().toStdString());
    column->clearList();
    QCoreApplication::processEvents();
    column->addRows(ranking.rows);
    // Scrolled so that the current student's row shows, with no row left selected.
    if (ranking.scrollRow) column->scrollToRow(*ranking.scrollRow);
    column->clearSelection();
}

void seisekitime1::rankEveryLevel() {
    const int levels = static_cast<int>(m_columns.size());
    for (int level = 1; level <= levels; ++level) {
        setListProgress(level, levels);
        Command3_Click(level);
    }
}

void seisekitime1::Command6_Click() {
    回数など表示();
    const ProgramProfile& profile = m_flow.levelMenu().profile();
    const int levels = static_cast<int>(m_columns.size());
    for (int level = 1; level <= levels; ++level) {
        setListProgress(level, levels);
        if (fillsLevel(ResultsList::BestTimes, profile, level)) {
            Command3_Click(level);
        } else {
            m_columns[level - 1]->hideResults();
        }
    }
}

bool seisekitime1::fillRunList(RunList list) {
    const RunListQuery query{list, m_viewMode, m_flow.levelMenu().choices().PeriodDays,
                             m_combo1->currentText().toStdString(), m_flow.clock().now().date};
    RunListRows rows;
    const auto progress = [this](std::uint64_t record, std::uint64_t records) {
        setListProgress(record, records + records / 10 + 1);
    };
    if (!m_flow.readRunList(query, progress, rows)) return false;
    for (LevelColumn* column : m_columns) column->addRows(rows.at(column->level()));
    return true;
}

bool seisekitime1::Command5_Click() {
    回数など表示();
    if (!fillRunList(RunList::Today)) return false;
    成績リスト色表示();
    return true;
}

bool seisekitime1::Command7_Click() {
    回数など表示();
    MenuChoices& choices = m_flow.levelMenu().choices();
    choices.PeriodDays =
        PeriodDays(static_cast<Period>(choices.PeriodChoice), m_flow.clock().now().date);
    if (!fillRunList(RunList::Period)) return false;
    QCoreApplication::processEvents();
    成績リスト色表示();
    m_combo2->show();
    return true;
}

bool seisekitime1::Command16_Click() {
    回数など表示();
    m_graphPanel->fillLevelList();
    m_graphPanel->fillStudentList();
    m_flow.levelMenu().choices().PeriodDays = kPersonalDays;
    return fillRunList(RunList::Personal);
}

void seisekitime1::Command9_Click() {
    const LevelAvailability availability = m_flow.session().levels();
    for (LevelColumn* column : m_columns) {
        column->showAvailability(availability.enabled.at(column->level()),
                                 availability.overuseMark.at(column->level()));
    }
}

void seisekitime1::Command8_Click() {
    if (m_passcodeDialog) return;
    if (m_flow.passcodeGiven()) {
        showMaintenancePanel();
        return;
    }
    // Read afresh at every click: a passcode set or cleared while the program runs counts.
    StoredPasscode stored = readStoredPasscode(m_flow.levelMenu().passcodeFile());
    if (stored.state == StoredPasscode::State::None) {
        showMaintenancePanel();
        return;
    }
    m_passcodeDialog = new PasscodeDialog(this, std::move(stored), m_flow.passcodeTries());
    m_passcodeDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_passcodeDialog, &QDialog::accepted, this, [this, dialog = m_passcodeDialog.data()] {
        openAfterPasscode(dialog->countProblemWhenOpened());
    });
    m_passcodeDialog->open();
}

void seisekitime1::openAfterPasscode(const std::string& countProblem) {
    m_flow.notePasscodeGiven();
    // The right passcode opens the panel even when its count of wrong tries could not be
    // cleared; the teacher hears why the next question may allow fewer tries.
    if (!countProblem.empty()) {
        m_flow.boxes().inform(this, QStringLiteral("先生の確認"), toQString(countProblem));
    }
    showMaintenancePanel();
}

void seisekitime1::showMaintenancePanel() {
    m_picture7->show();
    m_picture7->raise();
    // An append passes over a backup that failed, so that a child's run is always recorded;
    // the teacher is the one to hear of it.
    m_flow.reportSharedFileProblemsOnce();
}

void seisekitime1::printLists() {
    const LevelMenu& menu = m_flow.levelMenu();
    const ProgramProfile& profile = menu.profile();
    const PrintoutHeading heading{profile.SubjectTitle,
                                  m_shownList,
                                  m_viewMode,
                                  m_combo1->currentText().toStdString(),
                                  static_cast<Period>(menu.choices().PeriodChoice),
                                  std::string(trimSpaces(menu.login().StudentName)),
                                  m_flow.clock().now().date};
    std::vector<PrintedLevel> levels;
    for (const LevelColumn* column : m_columns) {
        const int level = column->level();
        // Practice levels' lists are never shown, so they are not printed either.
        if (isPracticeLevel(profile, level)) continue;
        levels.push_back(
            {printedLevelCaption(level, profile.LevelNames.at(level)), column->rows()});
    }
    (void)m_listPrinter.print(this, printoutTitle(heading), levels);  // the host heard of a failure
}

void seisekitime1::Command4_Click(int level) {
    if (m_picture7->isVisible() || !m_columns.at(level - 1)->startEnabled()) return;
    if (!m_flow.session().chooseLevel(level)) return;
    leaving();
    QCoreApplication::processEvents();
    m_flow.StartRun();
}

void seisekitime1::leaving() {
    // Closed before events run, so that a key pressed twice, a second click, "戻る(0)" or a list
    // build (which gives the buttons back when it ends) cannot start another screen change
    // while this one is on its way.
    m_menuReady = false;
    for (LevelColumn* column : m_columns) column->setStartEnabled(false);
    m_command1->setEnabled(false);
    setSelectorsEnabled(false);
    showBusy(true);
}

void seisekitime1::Label3_Click(int level) { Command4_Click(level); }

void seisekitime1::Command1_Click() {
    leaving();
    QCoreApplication::processEvents();
    m_flow.showNameSelection();
    QCoreApplication::processEvents();
}

bool seisekitime1::Form_KeyPress(const QString& key) {
    if (!m_menuReady) return false;
    const MenuKey pressed = menuKeyOf(key.toStdString(), static_cast<int>(m_columns.size()));
    switch (pressed.action) {
        case MenuKey::Action::NotMine:
            return false;
        case MenuKey::Action::Nothing:
            break;
        case MenuKey::Action::StartLevel:
            Command4_Click(pressed.level);
            break;
        case MenuKey::Action::Back:
            if (m_command1->isEnabled()) Command1_Click();
            break;
    }
    return true;
}

void seisekitime1::keyPressEvent(QKeyEvent* event) {
    if (!Form_KeyPress(event->text())) DesignCanvas::keyPressEvent(event);
}

bool seisekitime1::eventFilter(QObject*, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        return Form_KeyPress(static_cast<QKeyEvent*>(event)->text());
    }
    return false;
}

}  // namespace gaisan

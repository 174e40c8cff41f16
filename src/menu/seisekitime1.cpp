#include "menu/seisekitime1.h"

#include <QApplication>
#include <QKeyEvent>

#include "app/AppState.h"
#include "app/QtConversions.h"
#include "app/ScreenFlow.h"
#include "menu/LevelAvailability.h"
#include "menu/LevelColumnTexts.h"
#include "platform/Clock.h"
#include "platform/Utf8.h"
#include "roster/Roster.h"

namespace gaisan {
namespace {

constexpr int kColumnsLeft = 16;
constexpr int kColumnsWidth = 972;  // the width four columns share
constexpr int kColumnGap = 6;

QString trimmed(const std::string& text) { return toQString(text).trimmed(); }

const QString kPeriods[] = {
    QStringLiteral("　　　今週の全成績"), QStringLiteral("　　先週からの全成績"),
    QStringLiteral("　　１ヶ月間の全成績"), QStringLiteral("　　１年間の全成績"),
    QStringLiteral("　　今までの全成績\""),
};

}  // namespace

seisekitime1::seisekitime1(ScreenFlow& flow) : m_flow(flow) {
    setObjectName(QStringLiteral("seisekitime1"));
    setWindowTitle(QStringLiteral("概算ドリル"));
    buildHeader();
}

void seisekitime1::buildHeader() {
    m_label11 = addLabel(QStringLiteral("Label11"), {}, this, {16, 6, 200, 48}, 32);
    m_label12 = addLabel(QStringLiteral("Label12"), {}, this, {224, 6, 380, 48}, 28);
    m_label13 = addLabel(QStringLiteral("Label13"), {}, this, {612, 10, 250, 36}, 18);
    m_label17 = addLabel(QStringLiteral("Label17"), {}, this, {868, 10, 140, 36}, 18);
    m_label18 = addLabel(QStringLiteral("Label18"), {}, this, {612, 52, 250, 36}, 18);
    m_command1 = new QPushButton(QStringLiteral("戻る(0)"), this);
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
    // The teacher's commands; their panels are opened in later screens of the menu.
    m_command8 = button(QStringLiteral("Command8"), QStringLiteral("データ処理"), {324, 54, 120, 40});
    m_command24Print = button(QStringLiteral("Command24_1"), QStringLiteral("印刷"), {452, 54, 72, 40});
    m_command17 = button(QStringLiteral("Command17"), QStringLiteral("グラフ"), {532, 54, 72, 40});

    auto* picture5 = new QWidget(this);
    picture5->setObjectName(QStringLiteral("Picture5"));
    place(picture5, {16, 100, 330, 40});
    const QString views[3] = {QStringLiteral("ﾀｲﾑ表示"), QStringLiteral("ﾎﾟｲﾝﾄ表示"), QStringLiteral("個人ﾀｲﾑ")};
    for (int i = 0; i < 3; ++i) {
        m_option2[i] = new QRadioButton(views[i], picture5);
        m_option2[i]->setObjectName(QStringLiteral("Option2_%1").arg(i));
        place(m_option2[i], {i * 110, 0, 108, 40}, 16);
    }
    auto* picture1 = new QWidget(this);
    picture1->setObjectName(QStringLiteral("Picture1"));
    place(picture1, {352, 100, 330, 40});
    m_picture1 = picture1;
    const QString lists[4] = {{}, QStringLiteral("合計累計"), QStringLiteral("合計本日"), QStringLiteral("すべて")};
    for (int i = 1; i <= 3; ++i) {
        m_option1[i] = new QRadioButton(lists[i], picture1);
        m_option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        place(m_option1[i], {(i - 1) * 110, 0, 108, 40}, 16);
    }
    // Only the rankings of the points view are offered so far; the other lists come with the
    // results views of the menu.
    m_option2[0]->setEnabled(false);
    m_option2[2]->setEnabled(false);
    m_option1[3]->setEnabled(false);
    connect(m_option1[1], &QRadioButton::clicked, this, [this] {
        m_pointsBasis = PointsBasis::Total;
        m_label5->setText(QStringLiteral("獲得ポイント（今まで順位）"));
        showTotalPointsRankings();
    });
    connect(m_option1[2], &QRadioButton::clicked, this, [this] {
        m_pointsBasis = PointsBasis::Today;
        m_label5->setText(QStringLiteral("獲得ポイント（今日の順位）"));
        showTotalPointsRankings();
    });

    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    place(m_combo1, {690, 100, 150, 40}, 18);
    connect(m_combo1, &QComboBox::activated, this, [this] {
        m_option1[1]->setText(QStringLiteral("合計累計"));
        m_option1[2]->setText(QStringLiteral("合計本日"));
        showTotalPointsRankings();
        if (!m_columns.empty()) m_columns[0].start->setFocus();
    });
    m_combo2 = new QComboBox(this);
    m_combo2->setObjectName(QStringLiteral("Combo2"));
    place(m_combo2, {846, 100, 162, 40}, 16);
    m_combo2->hide();
    m_hScroll1 = new QScrollBar(Qt::Horizontal, this);
    m_hScroll1->setObjectName(QStringLiteral("HScroll1"));
    place(m_hScroll1, {kColumnsLeft, 748, kColumnsWidth, 16});
    m_hScroll1->hide();

    m_picture7 = new QWidget(this);
    m_picture7->setObjectName(QStringLiteral("Picture7"));
    m_picture7->hide();

    m_picture2 = new QWidget(this);
    m_picture2->setObjectName(QStringLiteral("Picture2"));
    m_picture2->setAutoFillBackground(true);
    place(m_picture2, {0, 300, kDesignWidth, 160});
    addLabel(QStringLiteral("Label16"), QStringLiteral("Just a moment, please."), m_picture2,
             {0, 10, kDesignWidth, 90}, 40, Qt::AlignCenter);
    m_progressBar = new QProgressBar(m_picture2);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    place(m_progressBar, {212, 110, 600, 28});
    m_picture2->hide();

    // The wait panel of a list rebuild.
    m_picture6 = new QWidget(this);
    m_picture6->setObjectName(QStringLiteral("Picture6"));
    m_picture6->setAutoFillBackground(true);
    place(m_picture6, {262, 400, 500, 120});
    addLabel(QStringLiteral("Label21"), QStringLiteral("Just a momento, please."), m_picture6,
             {0, 8, 500, 60}, 32, Qt::AlignCenter);
    m_progressBar2 = new QProgressBar(m_picture6);
    m_progressBar2->setObjectName(QStringLiteral("ProgressBar2"));
    place(m_progressBar2, {40, 76, 420, 24});
    m_picture6->hide();
}

void seisekitime1::buildColumn(int level, int left, int width) {
    const AppState& state = m_flow.state();
    Column column;
    column.number = addLabel(arrayName(QStringLiteral("Label1"), level), QString::number(level),
                             this, {left, 148, 28, 40}, 20);
    column.name = addLabel(arrayName(QStringLiteral("Label3"), level),
                           toQString(state.profile.LevelNames.at(level)), this,
                           {left + 30, 148, width - 30, 40}, 24);
    column.name->setToolTip(column.name->text());
    column.name->setCursor(Qt::PointingHandCursor);
    column.start = new QPushButton(toQString(startCaption(level)), this);
    column.start->setObjectName(arrayName(QStringLiteral("Command4"), level));
    place(column.start, {left, 190, width, 52}, 26);
    connect(column.start, &QPushButton::clicked, this, [this, level] { Command4_Click(level); });
    column.overuse = addLabel(arrayName(QStringLiteral("Text1"), level), {}, this,
                              {left, 190, width, 52}, 24, Qt::AlignCenter);
    column.overuse->setStyleSheet(QStringLiteral("background-color: #ffff80; color: #d00000; border: 2px solid #d00000;"));
    column.overuse->hide();
    column.criteria = addLabel(arrayName(QStringLiteral("Label7"), level),
                               toQString(criteriaLine(state, level)), this, {left, 248, width, 30}, 16);
    column.passWindow = addLabel(arrayName(QStringLiteral("Label8"), level),
                                 toQString(passWindowLine(state, level)), this,
                                 {left, 280, width, 30}, 16);
    column.today = addLabel(arrayName(QStringLiteral("Label14"), level), {}, this,
                            {left, 314, width / 2, 30}, 16);
    column.totals = addLabel(arrayName(QStringLiteral("Label15"), level), {}, this,
                             {left + width / 2, 314, width - width / 2, 30}, 16);
    column.todayCaption = addLabel(arrayName(QStringLiteral("Label9"), level),
                                   QString::number(level), this, {left, 346, width / 2, 28}, 16);
    column.totalCaption = addLabel(arrayName(QStringLiteral("Label10"), level),
                                   QString::number(level), this,
                                   {left + width / 2, 346, width - width / 2, 28}, 16);
    column.ranking = new QListWidget(this);
    column.ranking->setObjectName(arrayName(QStringLiteral("List5"), level));
    // Every row has the same height; telling the list so spares it measuring 5000 rows.
    column.ranking->setUniformItemSizes(true);
    place(column.ranking, {left, 376, width, 368}, 16);
    column.ranking->hide();
    m_columns.push_back(column);
}

void seisekitime1::Form_Load() {
    const AppState& state = m_flow.state();
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(state.SeasonColour));
    setPalette(colours);
    m_picture2->setPalette(colours);

    for (const std::string& band : gradeBands()) m_combo1->addItem(toQString(band));
    m_combo1->setCurrentText(toQString(state.roster.SelectedGradeBand));
    for (const QString& period : kPeriods) m_combo2->addItem(period);
    m_combo2->setCurrentIndex(2);

    const int levels = state.profile.LevelCount;
    const int width = kColumnsWidth / std::max(1, levels);
    for (int level = 1; level <= levels; ++level) {
        buildColumn(level, kColumnsLeft + (level - 1) * width, width - kColumnGap);
    }
    // Every key reaches the menu first, whichever control has the focus.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    m_picture2->raise();
}

void seisekitime1::showBusy(bool busy) {
    m_picture2->setVisible(busy);
    if (busy) m_picture2->raise();
}

void seisekitime1::Form_Activate() {
    AppState& state = m_flow.state();
    const QString name = trimmed(state.login.StudentName);
    m_command8->setVisible(isTeacherName(state.login.StudentName));
    m_command24Print->setVisible(toQString(state.login.StudentName).contains(QStringLiteral("先生")));
    const auto now = static_cast<std::int32_t>(m_flow.clock().now().secondsSinceMidnight);
    m_label17->setText(QStringLiteral("起動後%1分").arg((now - state.login.LoginTime) / 60));

    m_menuReady = false;
    showBusy(true);
    QCoreApplication::processEvents();
    m_option1[1]->setText(QStringLiteral("累計順"));
    m_option1[2]->setText(QStringLiteral("本日順"));

    m_flow.closeNameSelection();
    if (!m_flow.computeCounts()) return;
    const int student = state.login.StudentIndex;
    float todayTotal = 0;
    for (int level = 1; level <= kHighestLevel; ++level) todayTotal += state.counts.TodayRunCounts.at(level, student);
    state.login.TodayRunTotal = static_cast<int>(todayTotal);
    m_label18->setText(QStringLiteral("本日総回数＝%1回").arg(state.login.TodayRunTotal));
    m_progressBar->setMaximum(state.profile.LevelCount);

    m_pointsBasis = PointsBasis::Total;
    m_option1[1]->setChecked(true);
    m_option2[1]->setChecked(true);
    m_label5->setText(QStringLiteral("獲得ポイント（今まで順位）"));
    showTotalPointsRankings();
    m_command1->setEnabled(true);

    m_label12->setText(name + QLatin1Char(' ') + toQString(state.login.StudentGradeLabel));
    m_label13->setText(QStringLiteral("%1:").arg(student) + toQString(state.common.SchoolName));
    m_label11->setText(toQString(state.profile.SubjectTitle));
    setDesignFont(m_label11, characterCount(state.profile.SubjectTitle) > 9 ? 26 : 32);

    for (int level = 1; level <= state.profile.LevelCount; ++level) {
        Column& column = m_columns[level - 1];
        for (QLabel* label : {column.criteria, column.passWindow}) {
            label->setStyleSheet(QStringLiteral("background-color: rgb(224, 224, 224);"));
        }
        column.totals->setText(toQString(totalsLine(state, level)));
        column.today->setText(toQString(todayLine(state, level)));
        column.start->setEnabled(false);
    }
    Command9_Click();
    showBusy(false);
    QCoreApplication::processEvents();
    m_menuReady = true;
}

void seisekitime1::showTotalPointsRankings() {
    // Nothing that starts another rebuild or a run is left enabled while the lists are built.
    m_command1->setEnabled(false);
    m_picture1->setEnabled(false);
    m_combo1->setEnabled(false);
    for (Column& column : m_columns) {
        column.start->setEnabled(false);
        column.ranking->hide();
    }
    m_progressBar2->setMaximum(static_cast<int>(m_columns.size()));
    m_picture6->show();
    m_picture6->raise();
    QCoreApplication::processEvents();
    for (int level = 1; level <= static_cast<int>(m_columns.size()); ++level) {
        m_progressBar2->setValue(level);
        Command3_Click(level);
    }
    m_picture1->setEnabled(true);
    m_combo1->setEnabled(true);
    m_command1->setEnabled(true);
    Command9_Click();
    for (int level = 1; level <= static_cast<int>(m_columns.size()); ++level) {
        m_columns[level - 1].ranking->setVisible(!isPracticeLevel(m_flow.state().profile, level));
    }
    m_picture6->hide();
}

void seisekitime1::Command3_Click(int level) {
    Column& column = m_columns.at(level - 1);
    column.todayCaption->setText(QStringLiteral("今日"));
    column.totalCaption->setText(QStringLiteral("今まで"));
    const LevelRanking ranking = rankLevel(m_flow.state(), level, RankingView::Points, m_pointsBasis,
                                           m_combo1->currentText().toStdString());
    column.ranking->clear();
    QCoreApplication::processEvents();
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(ranking.rows.size()));
    for (const std::string& row : ranking.rows) rows.append(toQString(row));
    column.ranking->addItems(rows);
    // Scrolled so that the current student's row shows, with no row left selected.
    if (ranking.scrollRow) column.ranking->scrollToItem(column.ranking->item(*ranking.scrollRow), QAbstractItemView::PositionAtTop);
    column.ranking->setCurrentRow(-1);
}

void seisekitime1::Command9_Click() {
    AppState& state = m_flow.state();
    const LevelAvailability availability = refreshLevelAvailability(state);
    state.counts.GoalCleared = availability.goalCleared;
    for (int level = 1; level <= static_cast<int>(m_columns.size()); ++level) {
        Column& column = m_columns[level - 1];
        column.start->setEnabled(availability.enabled.at(level));
        column.overuse->setText(QStringLiteral("やりすぎ禁止"));
        column.overuse->setVisible(availability.overuseMark.at(level));
        column.overuse->raise();
    }
}

void seisekitime1::Command4_Click(int level) {
    if (m_picture7->isVisible() || !m_columns.at(level - 1).start->isEnabled()) return;
    leaving();
    m_flow.state().login.CurrentLevel = level;
    QCoreApplication::processEvents();
    m_flow.StartRun();
}

void seisekitime1::leaving() {
    // Closed before events run, so that a key pressed twice, a second click or "戻る(0)" cannot
    // start another screen change while this one is on its way.
    m_menuReady = false;
    for (Column& column : m_columns) column.start->setEnabled(false);
    m_command1->setEnabled(false);
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
    if (!m_menuReady || key.size() != 1) return false;
    const QChar c = key.front();
    int level = 0;
    if (c >= QLatin1Char('1') && c <= QLatin1Char('9')) level = c.digitValue();
    if (c >= QLatin1Char('a') && c <= QLatin1Char('d')) level = 10 + (c.unicode() - 'a');
    if (level > 0) {
        if (level <= static_cast<int>(m_columns.size())) Command4_Click(level);
        return true;
    }
    if (c == QLatin1Char('0')) {
        if (m_command1->isEnabled()) Command1_Click();
        return true;
    }
    return false;
}

void seisekitime1::keyPressEvent(QKeyEvent* event) {
    if (!Form_KeyPress(event->text())) DesignCanvas::keyPressEvent(event);
}

bool seisekitime1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        for (std::size_t i = 0; i < m_columns.size(); ++i) {
            if (watched == m_columns[i].name) {
                Label3_Click(static_cast<int>(i) + 1);
                return true;
            }
        }
    }
    if (event->type() == QEvent::KeyPress) {
        return Form_KeyPress(static_cast<QKeyEvent*>(event)->text());
    }
    return false;
}

}  // namespace gaisan

#include "app/ConfigurationWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/AppState.h"
#include "app/QtConversions.h"
#include "app/ScreenFlow.h"
#include "platform/Clock.h"
#include "platform/DataFileError.h"
#include "roster/Roster.h"

namespace gaisan {
namespace {

QLabel* valueLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QGroupBox* locationsBox(const AppState& state) {
    auto* box = new QGroupBox(QStringLiteral("フォルダ"));
    auto* form = new QFormLayout(box);
    const DataLocations& locations = state.locations;
    form->addRow(QStringLiteral("プログラム："), valueLabel(toQString(locations.ProgramFolder)));
    form->addRow(QStringLiteral("共通データ："), valueLabel(toQString(locations.DataRoot)));
    form->addRow(QStringLiteral("成績と基準："), valueLabel(toQString(locations.ProgramDataFolder)));
    form->addRow(QStringLiteral("音："), valueLabel(toQString(locations.SoundFolder)));
    return box;
}

QGroupBox* schoolBox(const AppState& state) {
    auto* box = new QGroupBox(QStringLiteral("学校"));
    auto* form = new QFormLayout(box);
    const CommonConfiguration& common = state.common;
    form->addRow(QStringLiteral("名前："), valueLabel(toQString(common.SchoolName)));
    form->addRow(QStringLiteral("番号："),
                 valueLabel(common.SchoolCode ? toQString(*common.SchoolCode)
                                              : QStringLiteral("（なし）")));
    form->addRow(QStringLiteral("学年の変わる月："),
                 valueLabel(QStringLiteral("%1月").arg(common.YearChangeMonth)));
    form->addRow(QStringLiteral("教科："), valueLabel(toQString(state.profile.SubjectTitle)));
    return box;
}

QGroupBox* criteriaBox(const AppState& state) {
    constexpr int kShownLevels = 4;
    auto* box = new QGroupBox(QStringLiteral("合格基準（レベル1〜4）"));
    auto* table = new QTableWidget(kShownLevels, 9, box);
    table->setObjectName(QStringLiteral("criteriaTable"));
    QStringList titles;
    for (int column = 0; column < 9; ++column) titles << toQString(criteriaTitleLine()[column]);
    table->setHorizontalHeaderLabels(titles);
    const CriteriaTable& criteria = state.criteria;
    for (int level = 1; level <= kShownLevels; ++level) {
        const QStringList values = {
            QString::number(criteria.TargetTime.at(level)),
            QString::number(criteria.MinLineTime.at(level)),
            QString::number(criteria.ClearPoints.at(level)),
            QString::number(criteria.ClearCount.at(level)),
            QString::number(criteria.PointRate.at(level)),
            QString::number(criteria.OveruseCount.at(level)),
            QString::number(criteria.OverusePoints.at(level)),
            QString::number(criteria.PassDays.at(level)),
            QString::number(criteria.OveruseDays.at(level)),
        };
        table->setVerticalHeaderItem(level - 1,
                                     new QTableWidgetItem(QStringLiteral("レベル%1").arg(level)));
        for (int column = 0; column < values.size(); ++column) {
            auto* cell = new QTableWidgetItem(values[column]);
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(level - 1, column, cell);
        }
    }
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() +
                          table->verticalHeader()->length() + 2 * table->frameWidth());
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(table);
    return box;
}

QGroupBox* soundBox(const AppState& state) {
    auto* box = new QGroupBox(QStringLiteral("音"));
    auto* form = new QFormLayout(box);
    for (int cue = 1; cue <= kCueCount; ++cue) {
        const SoundCue& entry = state.sounds.cues[cue];
        QStringList files;
        for (int slot = 1; slot <= entry.count.value_or(0); ++slot) {
            files << toQString(entry.files[slot]);
        }
        const QString text = entry.count ? QStringLiteral("%1個：%2").arg(*entry.count).arg(
                                               files.join(QStringLiteral("、")))
                                         : QStringLiteral("（一覧にありません）");
        form->addRow(toQString(entry.name) + QStringLiteral("："), valueLabel(text));
    }
    return box;
}

}  // namespace

QGroupBox* ConfigurationWindow::startBox() {
    auto* box = new QGroupBox(QStringLiteral("練習を始める"));
    auto* layout = new QHBoxLayout(box);
    AppState& state = m_flow.state();
    m_names = new QComboBox;
    m_names->setObjectName(QStringLiteral("names"));
    try {
        LoadRoster(state.roster, state.locations.DataRoot + "新名簿.txt", m_flow.clock().now().date,
                   state.common.YearChangeMonth, state.common.RosterOption,
                   [this](const RosterEntry& entry, int) {
                       m_names->addItem(toQString(entry.Name).trimmed(), int{entry.StudentIndex});
                   });
    } catch (const DataFileError& error) {
        layout->addWidget(valueLabel(QString::fromStdString(error.what())));
        return box;
    }
    layout->addWidget(m_names, 1);
    ApplyProfileLevels(state.profile);
    for (int level = 1; level <= state.profile.LevelCount; ++level) {
        auto* button = new QPushButton(toQString(state.profile.LevelNames.at(level)));
        button->setObjectName(QStringLiteral("startLevel%1").arg(level));
        connect(button, &QPushButton::clicked, this, [this, level] { startLevel(level); });
        layout->addWidget(button);
    }
    return box;
}

void ConfigurationWindow::startLevel(int level) {
    AppState& state = m_flow.state();
    const int student = m_names->currentData().toInt();
    state.login.StudentIndex = student;
    state.login.StudentName = state.roster.RosterNames.at(student);
    state.login.StudentGradeLabel = state.roster.RosterGradeLabels.at(student);
    state.login.LoginTime = static_cast<std::int32_t>(m_flow.clock().now().secondsSinceMidnight);
    state.login.CurrentLevel = level;
    if (!m_flow.computeCounts()) return;
    m_flow.StartRun();
}

ConfigurationWindow::ConfigurationWindow(ScreenFlow& flow) : m_flow(flow) {
    setObjectName(QStringLiteral("ConfigurationWindow"));
    const AppState& state = flow.state();
    setWindowTitle(toQString(state.profile.SubjectTitle) + QStringLiteral(" — 設定の確認"));

    auto* versionButton = new QPushButton(QStringLiteral("バージョン"));
    versionButton->setObjectName(QStringLiteral("versionButton"));
    connect(versionButton, &QPushButton::clicked, this, [this] { m_flow.showVersionWindow(this); });
    auto* closeButton = new QPushButton(QStringLiteral("終了"));
    closeButton->setObjectName(QStringLiteral("closeButton"));
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(versionButton);
    buttons->addWidget(closeButton);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(locationsBox(state));
    left->addWidget(schoolBox(state));
    left->addStretch();
    columns->addLayout(left, 3);
    columns->addWidget(soundBox(state), 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(criteriaBox(state));
    layout->addWidget(startBox());
    layout->addLayout(buttons);
    resize(1024, 768);
}

void ConfigurationWindow::Form_Load() {
    QPalette colours = palette();
    colours.setColor(QPalette::Window, toQColor(m_flow.state().SeasonColour));
    setPalette(colours);
    setAutoFillBackground(true);
    showFullScreen();
    // Closing is the only thing to do here, so a child or a script can do it from the keyboard.
    findChild<QPushButton*>(QStringLiteral("closeButton"))->setFocus();
}

void ConfigurationWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

}  // namespace gaisan

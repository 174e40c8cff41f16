#include "windows/analysis/MistakeAnalysisWindow.h"

#include <QHeaderView>
#include <QScrollArea>

#include "base/Periods.h"
#include "kit/QtConversions.h"
#include "platform/Clock.h"
#include "platform/Utf8.h"
#include "rules/admin/Installation.h"
#include "stores/installation/DataFolder.h"
#include "stores/roster/Roster.h"
#include "windows/analysis/MistakeAnalysisHost.h"
#include "windows/analysis/TrendView.h"

namespace gaisan {
namespace {

constexpr int kStudentRole = Qt::UserRole;
constexpr int kKindRole = Qt::UserRole;
constexpr int kWeakestFontPixels = 22;
constexpr int kSmallestWeakestFontPixels = 14;

QTableWidget* newTable(DesignCanvas& canvas, const QString& name, const QStringList& headers,
                       const QRect& design, int fontPixels) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), &canvas);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    // A cell never ends in "…" nor hides past a sideways scroll: a teacher reads every name
    // and kind whole, a text too wide for its column going on in a taller row.
    table->setWordWrap(true);
    table->setTextElideMode(Qt::ElideNone);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    canvas.place(table, design, fontPixels);
    return table;
}

void setRow(QTableWidget* table, int row, const QStringList& cells) {
    for (int column = 0; column < cells.size(); ++column)
        table->setItem(row, column, new QTableWidgetItem(cells[column]));
}

QString lines(const std::vector<std::string>& texts) {
    QStringList joined;
    for (const std::string& text : texts) joined << toQString(text);
    return joined.join(u'\n');
}

}  // namespace

MistakeAnalysisWindow::MistakeAnalysisWindow(MistakeAnalysisHost& host)
    : m_host(host),
      m_printer(host),
      m_bandBox(new QComboBox(this)),
      m_studentList(new QListWidget(this)),
      m_levelList(new QListWidget(this)),
      m_periodBox(new QComboBox(this)),
      m_analyseButton(new QPushButton(QStringLiteral("分析する"), this)),
      m_subjectBox(new QComboBox(this)),
      m_scopeLabel(new QLabel(this)),
      m_countsLabel(new QLabel(this)),
      m_weakestLabel(new QLabel(this)),
      m_timesLabel(new QLabel(this)),
      m_kindTable(
          newTable(*this, QStringLiteral("kindTable"),
                   {QStringLiteral("まちがい"), QStringLiteral("欄の数"), QStringLiteral("割合")},
                   {340, 262, 320, 196}, 14)),
      m_trendView(new TrendView(this)),
      m_exampleKindBox(new QComboBox(this)),
      m_exampleTable(
          newTable(*this, QStringLiteral("exampleTable"),
                   {QStringLiteral("日付"), QStringLiteral("問題"), QStringLiteral("答え"),
                    QStringLiteral("正しい答え"), QStringLiteral("まちがい")},
                   {340, 506, 668, 194}, 15)),
      m_notesLabel(new QLabel(this)),
      m_printStudentsButton(new QPushButton(QStringLiteral("生徒ごとに印刷"), this)),
      m_printSummaryButton(new QPushButton(QStringLiteral("まとめを印刷"), this)),
      m_backButton(new QPushButton(QStringLiteral("戻る"), this)) {
    setObjectName(QStringLiteral("MistakeAnalysisWindow"));
    setWindowTitle(QStringLiteral("つまずき分析"));
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(0xff, 0xf8, 0xe8));
    setPalette(background);

    addLabel(QStringLiteral("titleLabel"), QStringLiteral("つまずき分析"), this, {16, 8, 400, 44},
             28);
    addLabel(QStringLiteral("bandCaption"), QStringLiteral("学年"), this, {16, 64, 80, 32}, 18);
    m_bandBox->setObjectName(QStringLiteral("bandBox"));
    place(m_bandBox, {100, 64, 220, 32}, 18);
    addLabel(QStringLiteral("studentCaption"), QStringLiteral("生徒（えらばなければ全員）"), this,
             {16, 104, 304, 28}, 16);
    m_studentList->setObjectName(QStringLiteral("studentList"));
    m_studentList->setSelectionMode(QAbstractItemView::MultiSelection);
    place(m_studentList, {16, 134, 304, 326}, 16);
    addLabel(QStringLiteral("levelCaption"), QStringLiteral("レベル（えらばなければ全部）"), this,
             {16, 468, 304, 28}, 16);
    m_levelList->setObjectName(QStringLiteral("levelList"));
    m_levelList->setSelectionMode(QAbstractItemView::MultiSelection);
    m_levelList->setFlow(QListView::LeftToRight);
    m_levelList->setWrapping(true);
    place(m_levelList, {16, 498, 304, 44}, 16);
    addLabel(QStringLiteral("periodCaption"), QStringLiteral("期間"), this, {16, 552, 80, 32}, 18);
    m_periodBox->setObjectName(QStringLiteral("periodBox"));
    for (const Period period :
         {Period::ThisWeek, Period::SinceLastWeek, Period::Month, Period::Year, Period::All}) {
        m_periodBox->addItem(toQString(std::string(periodName(period))));
    }
    m_periodBox->setCurrentIndex(static_cast<int>(Period::Month) - 1);
    place(m_periodBox, {100, 552, 220, 32}, 18);
    m_analyseButton->setObjectName(QStringLiteral("analyseButton"));
    place(m_analyseButton, {16, 598, 304, 56}, 22);
    m_notesLabel->setObjectName(QStringLiteral("notesLabel"));
    m_notesLabel->setWordWrap(true);
    m_notesLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The notes name every answers file that could not be read: a list the corner may not hold
    // scrolls rather than being cut off.
    auto* notesArea = new QScrollArea(this);
    notesArea->setObjectName(QStringLiteral("notesArea"));
    notesArea->setFrameShape(QFrame::NoFrame);
    notesArea->setWidgetResizable(true);
    notesArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    notesArea->viewport()->setAutoFillBackground(false);
    notesArea->setWidget(m_notesLabel);
    m_notesLabel->setAutoFillBackground(false);  // which setWidget turned on
    place(notesArea, {16, 664, 304, 96}, 14);

    addLabel(QStringLiteral("subjectCaption"), QStringLiteral("見る人"), this, {340, 64, 80, 32},
             18);
    m_subjectBox->setObjectName(QStringLiteral("subjectBox"));
    place(m_subjectBox, {420, 64, 440, 32}, 18);
    m_scopeLabel->setObjectName(QStringLiteral("scopeLabel"));
    place(m_scopeLabel, {340, 100, 668, 26}, 15);
    m_countsLabel->setObjectName(QStringLiteral("countsLabel"));
    m_countsLabel->setText(
        QStringLiteral("左で生徒・レベル・期間をえらび、「分析する」を押してください"));
    place(m_countsLabel, {340, 128, 668, 34}, 20);
    m_weakestLabel->setObjectName(QStringLiteral("weakestLabel"));
    m_weakestLabel->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    place(m_weakestLabel, {340, 164, 668, 34}, kWeakestFontPixels);
    m_timesLabel->setObjectName(QStringLiteral("timesLabel"));
    place(m_timesLabel, {340, 200, 668, 28}, 16);
    addLabel(QStringLiteral("kindCaption"), QStringLiteral("まちがいの内訳"), this,
             {340, 234, 320, 26}, 16);
    m_kindTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_kindTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_kindTable->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_kindTable->horizontalHeader()->setStretchLastSection(false);
    addLabel(QStringLiteral("trendCaption"), toQString(std::string(Trend::kCaption)), this,
             {672, 234, 336, 26}, 16);
    m_trendView->setObjectName(QStringLiteral("trendView"));
    place(m_trendView, {672, 262, 336, 196}, 12);
    // The problem and the kinds take a line each part, so that the kinds have the width to
    // show whole beside the numbers.
    for (int column = 0; column < 4; ++column) {
        m_exampleTable->horizontalHeader()->setSectionResizeMode(column,
                                                                 QHeaderView::ResizeToContents);
    }
    m_exampleTable->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    addLabel(QStringLiteral("exampleCaption"), QStringLiteral("例"), this, {340, 468, 40, 32}, 18);
    m_exampleKindBox->setObjectName(QStringLiteral("exampleKindBox"));
    place(m_exampleKindBox, {380, 468, 440, 32}, 16);

    m_printStudentsButton->setObjectName(QStringLiteral("printStudentsButton"));
    place(m_printStudentsButton, {340, 710, 220, 46}, 18);
    m_printSummaryButton->setObjectName(QStringLiteral("printSummaryButton"));
    place(m_printSummaryButton, {572, 710, 220, 46}, 18);
    m_backButton->setObjectName(QStringLiteral("backButton"));
    place(m_backButton, {888, 710, 120, 46}, 20);
    m_printStudentsButton->setEnabled(false);
    m_printSummaryButton->setEnabled(false);

    connect(m_bandBox, &QComboBox::currentIndexChanged, this, [this] { fillStudentList(); });
    connect(m_analyseButton, &QPushButton::clicked, this, &MistakeAnalysisWindow::analyse);
    connect(m_subjectBox, &QComboBox::activated, this, &MistakeAnalysisWindow::showSubject);
    connect(m_exampleKindBox, &QComboBox::activated, this, [this] { showExamples(); });
    connect(m_printStudentsButton, &QPushButton::clicked, this,
            &MistakeAnalysisWindow::printStudentPages);
    connect(m_printSummaryButton, &QPushButton::clicked, this,
            &MistakeAnalysisWindow::printSummaryPage);
    connect(m_backButton, &QPushButton::clicked, this, [this] { m_host.backToMenu(); });
}

void MistakeAnalysisWindow::Form_Load() {
    Installation& installation = m_host.installation();
    m_roster.clear();
    const auto loaded = installation.readProgramRoster([&](const RosterEntry& entry, int grade) {
        if (!isAnalysedStudent(entry.Name)) return;
        m_roster.push_back({entry.StudentIndex, grade, std::string(trimSpaces(entry.Name))});
    });
    if (!loaded) m_host.reportUnusableFile(loaded.error());
    m_levelList->clear();
    for (int level = 1; level <= installation.profile().LevelCount; ++level)
        m_levelList->addItem(QStringLiteral("レベル%1").arg(level));
    const QSignalBlocker quiet(m_bandBox);
    m_bandBox->clear();
    for (const std::string& band : gradeBands()) m_bandBox->addItem(toQString(band));
    fillStudentList();
}

void MistakeAnalysisWindow::fillStudentList() {
    m_studentList->clear();
    const std::string band = m_bandBox->currentText().toStdString();
    for (const RosterStudent& student : m_roster) {
        if (!InGradeBand(student.grade, band)) continue;
        auto* item = new QListWidgetItem(toQString(gradeLabelOf(student.grade).value_or("　　")) +
                                         QStringLiteral("　") + toQString(student.name));
        item->setData(kStudentRole, student.student);
        m_studentList->addItem(item);
    }
}

void MistakeAnalysisWindow::analyse() {
    bool wholeBand = m_studentList->selectedItems().isEmpty();
    m_chosen.clear();
    for (int row = 0; row < m_studentList->count(); ++row) {
        const QListWidgetItem* item = m_studentList->item(row);
        if (!wholeBand && !item->isSelected()) continue;
        const int student = item->data(kStudentRole).toInt();
        for (const RosterStudent& entry : m_roster) {
            if (entry.student == student) m_chosen.push_back({student, entry.name});
        }
    }
    std::vector<int> levels;
    for (int row = 0; row < m_levelList->count(); ++row) {
        if (m_levelList->item(row)->isSelected()) levels.push_back(row + 1);
    }
    std::vector<int> students;
    for (const ChosenStudent& chosen : m_chosen) students.push_back(chosen.student);
    const auto period = static_cast<Period>(m_periodBox->currentIndex() + 1);
    const AnalysisScope scope =
        analysisScopeOf(std::move(students), levels, period, m_host.clock().now().date);

    m_analysis.reset();
    m_subjectBox->clear();
    m_printStudentsButton->setEnabled(false);
    m_printSummaryButton->setEnabled(false);
    m_notesLabel->clear();
    if (m_chosen.empty()) {
        showSubject(0);
        m_countsLabel->setText(QStringLiteral("この学年の生徒が名簿にいません"));
        return;
    }
    Expected<MistakeAnalysis> read = m_host.readMistakeAnalysis(scope);
    if (!read) {
        m_host.reportUnusableFile(read.error());
        showSubject(0);
        m_countsLabel->setText(QStringLiteral("成績ファイルが読めませんでした"));
        return;
    }
    m_analysis = std::move(*read);
    m_groupTitle = groupTitle(m_bandBox->currentText().toStdString(), wholeBand, m_chosen.size());
    m_scopeText = scopeText(levels, period, scope);
    m_lastDay = scope.lastDay;

    m_subjectBox->addItem(toQString(m_groupTitle));
    for (const ChosenStudent& chosen : m_chosen) {
        const bool answered = m_analysis->students.count(chosen.student) != 0;
        m_subjectBox->addItem(toQString(chosen.name) +
                              (answered ? QString() : QStringLiteral("（答えなし）")));
    }
    QStringList notes;
    notes << QStringLiteral("答えのある生徒：%1人／%2人")
                 .arg(m_analysis->students.size())
                 .arg(m_chosen.size());
    if (m_analysis->report.runsWithoutAnswers != 0) {
        notes << QStringLiteral("答えが残っていない回：%1回")
                     .arg(m_analysis->report.runsWithoutAnswers);
    }
    const std::filesystem::path dataFolder = m_host.installation().programDataFolder();
    for (const std::string& problem : m_analysis->report.problems) {
        notes << QStringLiteral("読めないファイル：") +
                     toQString(unreadableAnswersNote(problem, dataFolder));
    }
    m_notesLabel->setText(notes.join(u'\n'));
    m_printSummaryButton->setEnabled(true);
    m_printStudentsButton->setEnabled(!m_analysis->students.empty());
    showSubject(0);
}

const MistakeSummary& MistakeAnalysisWindow::shownSummary() const {
    static const MistakeSummary kNoAnswers;
    if (!m_analysis) return kNoAnswers;
    const int index = m_subjectBox->currentIndex();
    if (index <= 0) return m_analysis->group;
    const auto found =
        m_analysis->students.find(m_chosen.at(static_cast<std::size_t>(index - 1)).student);
    return found == m_analysis->students.end() ? kNoAnswers : found->second;
}

void MistakeAnalysisWindow::showSubject(int index) {
    if (index >= 0 && index < m_subjectBox->count()) m_subjectBox->setCurrentIndex(index);
    const MistakeSummary& summary = shownSummary();
    const SummaryTexts texts = summaryTexts(summary, m_subjectBox->currentText().toStdString());
    m_scopeLabel->setText(m_analysis ? toQString(m_scopeText) : QString());
    m_countsLabel->setText(toQString(texts.counts));
    showWeakest(toQString(texts.weakest));
    m_timesLabel->setText(toQString(texts.timeByType));
    m_kindTable->setRowCount(static_cast<int>(texts.kinds.size()));
    for (std::size_t row = 0; row < texts.kinds.size(); ++row) {
        const KindRow& kind = texts.kinds[row];
        setRow(m_kindTable, static_cast<int>(row),
               {toQString(kind.name), toQString(kind.count), toQString(kind.share)});
    }
    m_trendView->showTrend(m_analysis ? weeklyTrend(summary, m_lastDay) : Trend{});

    // The examples open on the first of the kinds that most need work; the box offers the rest.
    m_exampleKindBox->clear();
    const std::vector<MistakeKind> weakest = summary.weakestKinds();
    for (const KindRow& kind : texts.kinds) {
        m_exampleKindBox->addItem(toQString(kind.name), static_cast<int>(kind.kind));
        if (!weakest.empty() && weakest.front() == kind.kind)
            m_exampleKindBox->setCurrentIndex(m_exampleKindBox->count() - 1);
    }
    showExamples();
}

void MistakeAnalysisWindow::showWeakest(const QString& text) {
    // Several kinds found equally often are all named: the line takes a smaller font, and then
    // more lines, rather than cut a name. Text that does not fit even so is whole in the tooltip.
    const QRect design = designRect(m_weakestLabel);
    int pixels = kWeakestFontPixels;
    QFont font = m_weakestLabel->font();
    font.setBold(true);
    const auto fitsOneLine = [&](int size) {
        font.setPixelSize(size);
        return QFontMetrics(font).horizontalAdvance(text) <= design.width();
    };
    const auto fitsWrapped = [&](int size) {
        font.setPixelSize(size);
        const QRect room(0, 0, design.width(), QWIDGETSIZE_MAX);
        return QFontMetrics(font).boundingRect(room, Qt::TextWordWrap, text).height() <=
               design.height();
    };
    while (pixels > kSmallestWeakestFontPixels && !fitsOneLine(pixels)) pixels -= 2;
    const bool wraps = !fitsOneLine(pixels);
    m_weakestLabel->setWordWrap(wraps);
    m_weakestLabel->setToolTip(wraps && !fitsWrapped(pixels) ? text : QString());
    setDesignFont(m_weakestLabel, pixels);
    m_weakestLabel->setText(text);
}

void MistakeAnalysisWindow::showExamples() {
    m_exampleTable->setRowCount(0);
    if (m_exampleKindBox->currentIndex() < 0) return;
    const auto kind = static_cast<MistakeKind>(m_exampleKindBox->currentData(kKindRole).toInt());
    const std::vector<ExampleTexts> examples =
        newestExamples(shownSummary(), {kind}, MistakeSummary::kExamplesPerKind);
    m_exampleTable->setRowCount(static_cast<int>(examples.size()));
    for (std::size_t row = 0; row < examples.size(); ++row) {
        const ExampleTexts& example = examples[row];
        setRow(m_exampleTable, static_cast<int>(row),
               {toQString(example.date), lines(example.problemLines), toQString(example.typed),
                toQString(example.right), lines(example.kinds)});
    }
}

bool MistakeAnalysisWindow::printStudentPages() {
    if (!m_analysis) return false;
    std::vector<AnalysisPage> pages;
    for (const ChosenStudent& chosen : m_chosen) {
        // A student without answers would only waste a sheet.
        if (m_analysis->students.count(chosen.student) == 0) continue;
        pages.push_back(studentPage(*m_analysis, chosen, m_scopeText, m_lastDay));
    }
    return m_printer.print(this, pages);
}

bool MistakeAnalysisWindow::printSummaryPage() {
    if (!m_analysis) return false;
    return m_printer.print(
        this, {summaryPage(*m_analysis, m_chosen, m_groupTitle, m_scopeText, m_lastDay)});
}

}  // namespace gaisan

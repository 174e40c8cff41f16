#include "windows/admin/FrmData.h"

#include <QApplication>

#include <algorithm>
#include <map>

#include "kit/ListChoiceDialog.h"
#include "kit/MessageBoxes.h"
#include "kit/QtConversions.h"
#include "kit/WaitPanel.h"
#include "platform/Clock.h"
#include "platform/PosixRecordFile.h"
#include "rules/admin/HistoryCaption.h"
#include "rules/admin/Installation.h"
#include "rules/admin/RecordEdit.h"
#include "rules/admin/RecordLine.h"
#include "stores/installation/DataFolder.h"
#include "stores/roster/Roster.h"
#include "windows/admin/AdminFlow.h"
#include "windows/admin/RecordListModel.h"

namespace gaisan {
namespace {

const QColor kBackground(240, 240, 228);
constexpr int kHighestScrollTime = 6000;
const QString kTitle = QStringLiteral("データ変更");

}  // namespace

FrmData::FrmData(AdminFlow& flow)
    : m_flow(flow),
      m_students(std::make_unique<BrowserStudents>()),
      m_model(new RecordListModel(m_snapshot, this)),
      m_list1(new QListView(this)),
      m_command4(new QPushButton(QStringLiteral("戻る"), this)),
      m_command7(new QPushButton(QStringLiteral("元に戻す"), this)),
      m_picture3(new QWidget(this)),
      m_combo1(new QComboBox(m_picture3)),
      m_text1(new QLineEdit(m_picture3)),
      m_vScroll1(new QScrollBar(Qt::Vertical, m_picture3)),
      m_command2(new QPushButton(QStringLiteral("変更して記録"), m_picture3)),
      m_command3(new QPushButton(QStringLiteral("消去"), m_picture3)),
      m_command6(new QPushButton(QStringLiteral("キャンセル"), m_picture3)),
      m_picture1(nullptr) {
    setObjectName(QStringLiteral("FrmData"));
    setWindowTitle(kTitle);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBackground);
    setPalette(colours);
    setAutoFillBackground(true);
    m_label5 =
        addLabel(QStringLiteral("Label5"), QStringLiteral("ダブルクリックすると変更、消去できます"),
                 this, {16, 8, 600, 40}, 22);
    m_command4->setObjectName(QStringLiteral("Command4"));
    place(m_command4, {880, 6, 128, 44}, 22);
    connect(m_command4, &QPushButton::clicked, this, &FrmData::Command4_Click);
    m_command7->setObjectName(QStringLiteral("Command7"));
    place(m_command7, {728, 6, 144, 44}, 22);
    connect(m_command7, &QPushButton::clicked, this, &FrmData::Command7_Click);

    m_list1->setObjectName(QStringLiteral("List1"));
    m_list1->setModel(m_model);
    // Every line has the same height; telling the view so keeps a million lines cheap.
    m_list1->setUniformItemSizes(true);
    m_list1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    place(m_list1, {16, 56, 992, 480}, 16);
    connect(m_list1, &QListView::clicked, this, &FrmData::List1_Click);
    connect(m_list1, &QListView::doubleClicked, this, &FrmData::List1_DblClick);

    m_picture3->setObjectName(QStringLiteral("Picture3"));
    m_picture3->setAttribute(Qt::WA_StyledBackground);
    m_picture3->setStyleSheet(
        QStringLiteral("#Picture3 { background-color: #e8f0ff; border: 2px solid #6080c0; }"));
    place(m_picture3, {16, 548, 992, 208});
    m_label1 = addLabel(QStringLiteral("Label1"), {}, m_picture3, {16, 12, 120, 40}, 22);
    m_label2Level = addLabel(QStringLiteral("Label2_1"), {}, m_picture3, {144, 12, 120, 40}, 22);
    m_label2Date = addLabel(QStringLiteral("Label2_2"), {}, m_picture3, {272, 12, 200, 40}, 22);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setEditable(true);
    m_combo1->setInsertPolicy(QComboBox::NoInsert);
    place(m_combo1, {16, 68, 380, 44}, 20);
    connect(m_combo1, &QComboBox::activated, this, &FrmData::Combo1_Click);
    connect(m_combo1, &QComboBox::editTextChanged, this, &FrmData::Combo1_Click);
    m_label2Grade = addLabel(QStringLiteral("Label2_4"), {}, m_picture3, {404, 68, 80, 44}, 22);
    m_text1->setObjectName(QStringLiteral("Text1_1"));
    m_text1->setAlignment(Qt::AlignRight);
    place(m_text1, {496, 68, 120, 44}, 22);
    addLabel(QStringLiteral("Label2_0"), QStringLiteral("秒"), m_picture3, {620, 68, 32, 44}, 22);
    m_vScroll1->setObjectName(QStringLiteral("VScroll1"));
    m_vScroll1->setRange(0, kHighestScrollTime);
    m_vScroll1->setSingleStep(1);
    m_vScroll1->setPageStep(10);
    place(m_vScroll1, {660, 12, 28, 184});
    connect(m_vScroll1, &QScrollBar::valueChanged, this, &FrmData::VScroll1_Change);
    m_command2->setObjectName(QStringLiteral("Command2"));
    place(m_command2, {712, 12, 180, 56}, 20);
    connect(m_command2, &QPushButton::clicked, this, &FrmData::Command2_Click);
    m_command3->setObjectName(QStringLiteral("Command3"));
    place(m_command3, {712, 80, 180, 56}, 20);
    connect(m_command3, &QPushButton::clicked, this, &FrmData::Command3_Click);
    // Undoes the edit in progress; a teacher expects a cancel button to do something.
    m_command6->setObjectName(QStringLiteral("Command6"));
    place(m_command6, {712, 144, 180, 52}, 20);
    connect(m_command6, &QPushButton::clicked, this, &FrmData::Command6_Click);
    m_command2->setEnabled(false);
    m_command3->setEnabled(false);
    m_picture3->hide();

    m_picture1 = addWaitPanel(*this, {QStringLiteral("Picture1"),
                                      {0, 0, kDesignWidth, kDesignHeight},
                                      QStringLiteral("Label8"),
                                      {0, 300, kDesignWidth, 120},
                                      40});
}

FrmData::~FrmData() = default;

std::filesystem::path FrmData::resultsPath() const { return m_flow.installation().resultsFile(); }

RecordsAdministration FrmData::administration(RecordFile& file, InterruptedMove& found) {
    RecordsAdministration administration(
        file, resultsPath(), [this](int seconds) { m_flow.waitResponsively(seconds); },
        m_flow.clock());
    administration.moveAnswersThrough(m_answersFile);
    administration.tellInterruptedTo([&found](const InterruptedMove& what) { found = what; });
    return administration;
}

void FrmData::Form_Load() {
    m_picture1->hide();
    m_picture3->hide();
    m_list1->show();
    refresh();
}

void FrmData::tell(const QString& text) { m_flow.boxes().inform(this, kTitle, text); }

void FrmData::refresh() {
    const Installation& installation = m_flow.installation();
    auto roster = std::make_unique<RosterTables>();
    if (const auto loaded = installation.readRoster(*roster); !loaded) {
        // The records can still be listed and deleted; only the names and labels are missing.
        if (!m_rosterProblemTold) {
            tell(
                QStringLiteral("名簿「%1」を読めないため、名前と学年なしで表示します。\n\n問題：%2")
                    .arg(QString::fromStdString(loaded.error().file.string()),
                         toQString(loaded.error().problem)));
        }
        m_rosterProblemTold = true;
    }
    auto students = BrowserStudents::of(*roster);
    m_combo1->clear();
    for (const std::string& item : students->chooserItems) m_combo1->addItem(toQString(item));

    PosixRecordFile file;
    const Expected<void> loaded = m_snapshot.load(file, resultsPath());
    m_model->reset(*students, installation.school().SchoolCode, installation.school().SchoolName);
    m_students = std::move(students);
    if (!loaded) {
        tell(QStringLiteral("成績のファイル「%1」を読めません。\n\n問題：%2")
                 .arg(QString::fromStdString(resultsPath().string()),
                      toQString(loaded.error().problem)));
    }
}

void FrmData::List1_Click() { m_picture3->hide(); }

void FrmData::List1_DblClick() {
    const QModelIndex current = m_list1->currentIndex();
    if (!current.isValid()) return;
    const std::uint64_t number = m_snapshot.recordOfLine(static_cast<std::size_t>(current.row()));
    m_selectedRecordNo = number;
    m_label1->setText(QString::number(number));
    m_command2->setEnabled(true);
    m_command3->setEnabled(true);
    m_recordBuffer = m_snapshot.recordBytes(number);
    showChosenRecord();
    m_picture3->show();
    m_picture3->raise();
}

void FrmData::Command6_Click() { showChosenRecord(); }

void FrmData::showChosenRecord() {
    const ResultRecord record = decodeRecord(m_recordBuffer);
    m_label2Level->setText(QStringLiteral("ﾚﾍﾞﾙ%1").arg(record.LevelIndex));
    m_label2Date->setText(toQString(shortDateText(record.RecordDate)));
    m_label2Grade->setText(toQString(m_students->gradeLabel(record.StudentIndex)));
    m_text1->setText(QString::number(record.ResultSeconds));
    // A time the scroll bar cannot show (a time-up holds 99999) puts it at its nearest end and
    // leaves the time as it is.
    if (record.ResultSeconds >= 0 && record.ResultSeconds <= kHighestScrollTime) {
        m_vScroll1->setValue(record.ResultSeconds);
    } else {
        const QSignalBlocker quiet(m_vScroll1);
        m_vScroll1->setValue(record.ResultSeconds < 0 ? 0 : kHighestScrollTime);
    }
    m_combo1->setEditText(QStringLiteral("%1 /  ").arg(record.StudentIndex) +
                          toQString(m_students->name(record.StudentIndex)));
}

void FrmData::Combo1_Click() {
    const int student = chosenStudent(m_combo1->currentText().toStdString());
    m_label2Grade->setText(toQString(m_students->gradeLabel(student)));
}

void FrmData::VScroll1_Change(int value) { m_text1->setText(QString::number(value)); }

void FrmData::setBusy(bool busy) {
    for (QWidget* control :
         {static_cast<QWidget*>(m_list1), m_picture3, static_cast<QWidget*>(m_command4),
          static_cast<QWidget*>(m_command7)}) {
        control->setEnabled(!busy);
    }
}

bool FrmData::report(const RecordsAdministration::Result& result, const InterruptedMove& found,
                     const QString& notTheOneChosen) {
    using Kind = ChangeOutcome::Kind;
    QString text;
    if (found.finding != InterruptedMove::Finding::None) {
        text = toQString(found.sentence()) + QStringLiteral("\n\n");
    }
    if (!result) {
        text += QStringLiteral("成績のファイルを書き換えられませんでした（%1 %2）。")
                    .arg(result.error().error.number)
                    .arg(toQString(result.error().problem));
        tell(text.trimmed());
        return false;
    }
    switch (result->kind) {
        case Kind::Done:
            break;
        case Kind::Refused:
        case Kind::Blocked:
            text += toQString(result->why);
            break;
        case Kind::NotTheRecord:
        case Kind::PastEnd:
            text += notTheOneChosen;
            break;
    }
    if (result->movedAnswers.answers) {
        text += QStringLiteral(
                    "\n\n記録は書き換えましたが、この回の解答の記録を新しい生徒に移せませんでした"
                    "（%1）。")
                    .arg(toQString(result->movedAnswers.answers->text()));
    } else if (result->movedAnswers.backup) {
        text += QStringLiteral(
                    "\n\n記録を書き換え、解答も移しました。\n"
                    "ただ、移した先の生徒の解答ファイルの\n"
                    "今日のバックアップを作れませんでした。\n\n問題：%1")
                    .arg(toQString(result->movedAnswers.backup->text()));
    }
    if (!text.isEmpty()) tell(text.trimmed());
    return result->done();
}

void FrmData::refreshAndSelect(std::uint64_t record) {
    refresh();
    m_picture3->hide();
    if (const auto line = m_snapshot.lineForRecord(record)) {
        const QModelIndex index = m_model->index(static_cast<int>(*line));
        m_list1->setCurrentIndex(index);
        m_list1->scrollTo(index, QAbstractItemView::PositionAtCenter);
    }
}

void FrmData::Command2_Click() {
    const auto edit = recordEditOf(
        m_text1->text().normalized(QString::NormalizationForm_KC).toStdString(),
        m_combo1->currentText().normalized(QString::NormalizationForm_KC).toStdString(),
        *m_students);
    if (!edit) {
        tell(toQString(edit.error().problem) + QStringLiteral("\n記録は変えていません。"));
        return;
    }
    const RecordEdit& values = *edit;
    setBusy(true);
    PosixRecordFile file;
    InterruptedMove found;
    const auto result =
        administration(file, found)
            .writeBack(m_selectedRecordNo, RecordsAdministration::isExactly(m_recordBuffer),
                       values.student, values.seconds);
    setBusy(false);
    report(result, found, chosenRecordChanged());
    refreshAndSelect(m_selectedRecordNo);
}

void FrmData::Command3_Click() {
    if (!m_flow.boxes().ask(this, QStringLiteral("注意"), QStringLiteral("本当に消去しますか"),
                            MessageBoxes::Answers::OkCancel)) {
        return;
    }
    setBusy(true);
    PosixRecordFile file;
    InterruptedMove found;
    const auto result =
        administration(file, found)
            .deleteRecord(m_selectedRecordNo, RecordsAdministration::isExactly(m_recordBuffer));
    setBusy(false);
    report(result, found, chosenRecordChanged());
    // After a delete the record that moved into the deleted one's place is selected.
    refreshAndSelect(m_selectedRecordNo);
}

void FrmData::Command7_Click() {
    // The newest changes, as many as a teacher would look back over after a mistaken click.
    constexpr std::uint64_t kChangesListed = 20;
    std::vector<std::pair<std::uint64_t, HistoryEntry>> entries;
    PosixRecordFile historyFile;
    const std::filesystem::path history = historyFileOf(resultsPath());
    const Expected<void> read =
        readNewestHistory(historyFile, history, kChangesListed,
                          [&](std::uint64_t number, const std::optional<HistoryEntry>& entry) {
                              if (entry) entries.emplace_back(number, *entry);
                          });
    if (!read) {
        tell(QStringLiteral("変更履歴「%1」を読めません。\n\n問題：%2")
                 .arg(QString::fromStdString(history.string()), toQString(read.error().problem)));
        return;
    }
    if (entries.empty()) {
        tell(QStringLiteral("元に戻せる変更はまだありません。"));
        return;
    }
    // Every entry newer than a listed one is listed too, so the list knows all undos of its own.
    std::map<std::uint64_t, std::uint64_t> undoneBy;
    for (const auto& [number, entry] : entries) {
        if (entry.undoes != 0) undoneBy[entry.undoes] = number;
    }
    std::reverse(entries.begin(), entries.end());
    QStringList captions;
    for (const auto& [number, entry] : entries) {
        const auto undo = undoneBy.find(number);
        captions << toQString(
            historyCaption(number, entry, *m_students,
                           undo == undoneBy.end() ? std::nullopt : std::optional(undo->second)));
    }
    const auto chosen = chooseFromList(
        this, {QStringLiteral("UndoDialog"), QStringLiteral("UndoList"), QStringLiteral("元に戻す"),
               QStringLiteral("元に戻す変更を選んでください（新しい順）。\n"
                              "元に戻したことも変更として残るので、それもあとで元に戻せます。"),
               captions});
    if (!chosen) return;
    const auto& [number, entry] = entries[*chosen];
    setBusy(true);
    PosixRecordFile file;
    InterruptedMove found;
    const auto result =
        administration(file, found).undo(number, [&chosenEntry = entry](const auto& now) {
            return now == chosenEntry;
        });
    setBusy(false);
    report(result, found,
           QStringLiteral("変更%1は、一覧を出した後で変更履歴が入れ替わったため、"
                          "選んだ変更ではなくなっています。何も変えずに一覧を読み直します。")
               .arg(number));
    // The record put back or written back is selected; after a delete, the one that moved up.
    refreshAndSelect(entry.recordNumber);
}

QString FrmData::chosenRecordChanged() const {
    return QStringLiteral(
               "記録%1は、一覧を読んだ後でほかのコンピュータが消去か変更をしたため、"
               "選んだ記録ではなくなっています。何も変えずに一覧を読み直します。")
        .arg(m_selectedRecordNo);
}

void FrmData::Command4_Click() {
    m_picture1->show();
    m_picture1->raise();
    m_command4->setEnabled(false);
    m_flow.backToMenu();
}

}  // namespace gaisan

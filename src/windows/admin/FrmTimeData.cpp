#include "windows/admin/FrmTimeData.h"

#include <QApplication>

#include "kit/ListChoiceDialog.h"
#include "kit/MessageBoxes.h"
#include "kit/QtConversions.h"
#include "kit/WaitPanel.h"
#include "platform/Clock.h"
#include "platform/PosixRecordFile.h"
#include "rules/admin/Installation.h"
#include "rules/admin/ResultDistribution.h"
#include "windows/admin/AdminFlow.h"

namespace gaisan {
namespace {

const QColor kBackground(240, 240, 228);
const QString kTitle = QStringLiteral("合格タイムデータ変更");

QString dataFileProblem(const Failure& failure) {
    return QStringLiteral("場所：%1\n問題：%2")
        .arg(QString::fromStdString(failure.file.string()), toQString(failure.problem));
}

/// The copy the teacher chooses among `copies` (newest first, the newest chosen to begin with);
/// nothing on キャンセル.
std::optional<std::size_t> chooseCopy(QWidget* parent, const std::vector<CriteriaCopy>& copies) {
    QStringList captions;
    for (const CriteriaCopy& copy : copies) captions << toQString(criteriaCopyCaption(copy));
    return chooseFromList(parent, {QStringLiteral("CopyDialog"), QStringLiteral("CopyList"),
                                   QStringLiteral("前の設定に戻す"),
                                   QStringLiteral("戻す設定を選んでください。\n"
                                                  "いまの設定も控えに残るので、あとで戻せます。"),
                                   captions});
}

}  // namespace

FrmTimeData::FrmTimeData(AdminFlow& flow)
    : m_flow(flow),
      m_distribution(std::make_unique<ResultDistribution>()),
      m_picture1(new QWidget(this)),
      m_grid1(new CriteriaGridView(*this, m_picture1, {16, 112, 640, 590}, 14)),
      m_command2(new QPushButton(QStringLiteral("元に戻す"), m_picture1)),
      m_command3(new QPushButton(QStringLiteral("更新記録"), m_picture1)),
      m_command4(new QPushButton(QStringLiteral("戻る"), m_picture1)),
      m_command7(new QPushButton(m_picture1)),
      m_restoreButton(new QPushButton(QStringLiteral("前の設定に戻す"), m_picture1)),
      m_list3(new QListWidget(m_picture1)),
      m_list4(new QListWidget(m_picture1)),
      m_picture6(nullptr) {
    setObjectName(QStringLiteral("FrmTimeData"));
    setWindowTitle(kTitle);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kBackground);
    setPalette(colours);
    setAutoFillBackground(true);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    place(m_picture1, {0, 0, kDesignWidth, kDesignHeight});
    m_picture1->hide();

    addLabel(QStringLiteral("Label5"), QStringLiteral("成績の基準となるデータを変更できます"),
             m_picture1, {16, 6, 640, 34}, 24);
    // Says that "更新記録" went through, without a box to dismiss; gone at the next change.
    m_savedLabel = addLabel(QStringLiteral("SavedLabel"), {}, m_picture1, {456, 8, 200, 30}, 16,
                            Qt::AlignRight | Qt::AlignVCenter);
    m_savedLabel->setStyleSheet(QStringLiteral("color: #206020; font-weight: bold;"));
    addLabel(QStringLiteral("Label6"), QStringLiteral("列の説明"), m_picture1, {16, 44, 90, 24}, 16)
        ->setStyleSheet(QStringLiteral("color: #304080; font-weight: bold;"));
    m_label3 = addLabel(QStringLiteral("Label3"), {}, m_picture1, {110, 42, 546, 68}, 16,
                        Qt::AlignLeft | Qt::AlignTop);

    connect(m_grid1, &CriteriaGridView::explanationShown, m_label3, &QLabel::setText);
    connect(m_grid1, &CriteriaGridView::currentRowChanged, this, &FrmTimeData::Command7_Click);
    connect(m_grid1, &CriteriaGridView::edited, m_savedLabel, &QLabel::clear);

    m_command3->setObjectName(QStringLiteral("Command3"));
    place(m_command3, {16, 712, 112, 48}, 20);
    connect(m_command3, &QPushButton::clicked, this, &FrmTimeData::Command3_Click);
    m_command2->setObjectName(QStringLiteral("Command2"));
    place(m_command2, {134, 712, 112, 48}, 20);
    connect(m_command2, &QPushButton::clicked, this, &FrmTimeData::Command2_Click);
    m_restoreButton->setObjectName(QStringLiteral("RestoreButton"));
    place(m_restoreButton, {252, 712, 160, 48}, 20);
    connect(m_restoreButton, &QPushButton::clicked, this, &FrmTimeData::bringBackCopy);
    m_command4->setObjectName(QStringLiteral("Command4"));
    place(m_command4, {418, 712, 72, 48}, 20);
    connect(m_command4, &QPushButton::clicked, this, &FrmTimeData::Command4_Click);
    for (QPushButton* button : {m_command2, m_command3, m_restoreButton, m_command4})
        button->setFocusPolicy(Qt::NoFocus);
    // One key per line: wrapped by the label, the text broke inside "Shift + ↓".
    addLabel(QStringLiteral("Label1"),
             QStringLiteral("スペース：セルクリア\nShift + ↓：セルコピー"), m_picture1,
             {498, 712, 166, 48}, 14);
    m_command7->setObjectName(QStringLiteral("Command7"));
    m_command7->hide();
    connect(m_command7, &QPushButton::clicked, this, &FrmTimeData::Command7_Click);

    addLabel(QStringLiteral("Label7"), QStringLiteral("現在までの成績度数分布"), m_picture1,
             {672, 6, 336, 34}, 22, Qt::AlignCenter);
    addLabel(QStringLiteral("Label9"), QStringLiteral("全成績"), m_picture1, {672, 44, 336, 24},
             16);
    m_list3->setObjectName(QStringLiteral("List3"));
    place(m_list3, {672, 68, 336, 330}, 14);
    addLabel(QStringLiteral("Label10"), QStringLiteral("最高タイム"), m_picture1,
             {672, 404, 336, 24}, 16);
    m_list4->setObjectName(QStringLiteral("List4"));
    place(m_list4, {672, 428, 336, 332}, 14);
    for (QListWidget* list : {m_list3, m_list4}) {
        list->setUniformItemSizes(true);
        list->setFocusPolicy(Qt::NoFocus);
        list->setSelectionMode(QAbstractItemView::NoSelection);
    }

    m_picture6 = addWaitPanel(*this, {QStringLiteral("Picture6"),
                                      {0, 0, kDesignWidth, kDesignHeight},
                                      QStringLiteral("Label8"),
                                      {0, 300, kDesignWidth, 120},
                                      40,
                                      // Without the space after the comma deliberately: the
                                      // screen has always shown it so.
                                      QStringLiteral("Just a moment,please.")});
}

FrmTimeData::~FrmTimeData() = default;

std::filesystem::path FrmTimeData::criteriaPath() const {
    return m_flow.installation().criteriaFile();
}

void FrmTimeData::Form_Load() {
    m_picture1->move(0, 0);
    m_picture6->move(0, 0);
    m_grid1->fitRows();
}

void FrmTimeData::Form_Activate() {
    m_picture1->show();
    Command2_Click();
    m_grid1->startAtFirstCell();
    Command7_Click();
}

void FrmTimeData::resizeEvent(QResizeEvent* event) {
    DesignCanvas::resizeEvent(event);
    m_grid1->fitRows();
    m_grid1->followCurrentCell();
}

void FrmTimeData::Command2_Click() {
    Expected<std::vector<CriteriaLine>> lines = readCriteriaFile(criteriaPath());
    const bool unsaved = !lines;
    if (unsaved) {
        m_flow.boxes().inform(
            this, kTitle,
            QStringLiteral("基準のファイルを読めないため、いま使っている基準を表示します。"
                           "「更新記録」でファイルに書き直せます。\n\n") +
                dataFileProblem(lines.error()));
        // The criteria in force are shown instead, as unsaved changes: "更新記録" writes them.
        const Installation& installation = m_flow.installation();
        lines =
            CriteriaGrid::linesInForce(installation.criteria(), installation.profile().LevelCount);
    }
    m_grid1->load(*lines, unsaved);
    m_savedLabel->clear();
}

bool FrmTimeData::Command3_Click() {
    showWait(true);
    Installation& installation = m_flow.installation();
    bool saved = false;
    const Expected<void> recorded = [&]() -> Expected<void> {
        const std::vector<CriteriaLine> lines = m_grid1->grid().lines();
        const Expected<CriteriaSaveOutcome> outcome = saveAskingWithoutCopy(
            [&](WithoutCopy withoutCopy) {
                return saveCriteriaKeepingCopy(criteriaPath(), lines,
                                               installation.profile().LevelCount,
                                               m_flow.clock().now(), withoutCopy);
            },
            QStringLiteral("控えなしで保存しますか？\n"
                           "「いいえ」なら何も保存せず、表の変更はそのまま残ります。"));
        if (!outcome) return Unexpected(outcome.error());
        saved = outcome->saved;
        if (!saved) return {};
        m_grid1->saved();
        if (auto loaded = installation.reloadCriteria(); !loaded) return loaded;
        showSavedTime();
        return {};
    }();
    if (!recorded) {
        m_picture6->hide();
        m_flow.boxes().inform(
            this, kTitle,
            QStringLiteral("基準を記録できませんでした。表の内容はそのまま残っています。\n\n") +
                dataFileProblem(recorded.error()));
    }
    showWait(false);
    m_grid1->focusEditor();
    return saved;
}

void FrmTimeData::bringBackCopy() {
    const std::vector<CriteriaCopy> copies = criteriaCopiesOf(criteriaPath());
    if (copies.empty()) {
        m_flow.boxes().inform(this, kTitle,
                              QStringLiteral("戻せる前の設定はまだありません。\n"
                                             "「更新記録」で保存すると、その前の設定が控えに残り、"
                                             "ここから戻せるようになります。"));
        return;
    }
    if (m_grid1->grid().gridChanged() &&
        !m_flow.boxes().ask(this, QStringLiteral("注意"),
                            QStringLiteral("表の変更はまだ記録されていません。前の設定に戻すと、"
                                           "この変更はなくなります。よろしいですか？"),
                            MessageBoxes::Answers::OkCancel)) {
        return;
    }
    const std::optional<std::size_t> chosen = chooseCopy(this, copies);
    if (!chosen) return;
    showWait(true);
    Installation& installation = m_flow.installation();
    const Expected<void> broughtBack = [&]() -> Expected<void> {
        const std::filesystem::path copy = copies[*chosen].file;
        const Expected<CriteriaSaveOutcome> outcome = saveAskingWithoutCopy(
            [&](WithoutCopy withoutCopy) {
                return restoreCriteriaCopy(criteriaPath(), copy, installation.profile().LevelCount,
                                           m_flow.clock().now(), withoutCopy);
            },
            QStringLiteral("控えなしで前の設定に戻しますか？\n"
                           "「いいえ」なら何も変えません。"));
        if (!outcome) return Unexpected(outcome.error());
        if (!outcome->saved) return {};
        if (auto loaded = installation.reloadCriteria(); !loaded) return loaded;
        const Expected<std::vector<CriteriaLine>> lines = readCriteriaFile(criteriaPath());
        if (!lines) return Unexpected(lines.error());
        m_grid1->load(*lines, false);
        showSavedTime();
        return {};
    }();
    if (!broughtBack) {
        m_picture6->hide();
        m_flow.boxes().inform(this, kTitle,
                              QStringLiteral("前の設定に戻せませんでした。\n\n") +
                                  dataFileProblem(broughtBack.error()));
    }
    showWait(false);
    m_grid1->focusEditor();
}

Expected<CriteriaSaveOutcome> FrmTimeData::saveAskingWithoutCopy(
    const std::function<Expected<CriteriaSaveOutcome>(WithoutCopy)>& replace,
    const QString& question) {
    Expected<CriteriaSaveOutcome> outcome = replace(WithoutCopy::KeepOldFile);
    if (!outcome || !outcome->copyProblem) return outcome;
    m_picture6->hide();
    const QString problem = QStringLiteral("\n\n問題：") + toQString(outcome->copyProblem->text());
    if (outcome->saved) {
        // Saved and kept, but copies beyond the newest ten are still there.
        m_flow.boxes().inform(
            this, kTitle, QStringLiteral("保存しました。古い控えを消せませんでした。") + problem);
        return outcome;
    }
    if (!m_flow.boxes().ask(
            this, QStringLiteral("注意"),
            QStringLiteral("いまの設定の控えを作れませんでした。") + question + problem,
            MessageBoxes::Answers::YesNo)) {
        return outcome;
    }
    return replace(WithoutCopy::SaveAnyway);
}

void FrmTimeData::showSavedTime() {
    const int minutes = static_cast<int>(m_flow.clock().now().secondsSinceMidnight) / 60;
    m_savedLabel->setText(QStringLiteral("保存しました（%1:%2）")
                              .arg(minutes / 60)
                              .arg(minutes % 60, 2, 10, QLatin1Char('0')));
}

void FrmTimeData::Command4_Click() {
    if (m_grid1->grid().gridChanged() &&
        m_flow.boxes().ask(this, QStringLiteral("注意"),
                           QStringLiteral("データが変更されています。記録しますか？"),
                           MessageBoxes::Answers::YesNo) &&
        !Command3_Click()) {
        return;  // the save failed: the teacher stays with the changes
    }
    showWait(true);
    m_command4->setEnabled(false);
    m_flow.backToMenu();
}

void FrmTimeData::showWait(bool shown) {
    m_picture6->setVisible(shown);
    if (!shown) return;
    m_picture6->raise();
    QCoreApplication::processEvents();
}

void FrmTimeData::fillList(QListWidget* list, const std::vector<std::string>& lines) {
    if (list->count() != static_cast<int>(lines.size())) {
        list->clear();
        for (const std::string& line : lines) list->addItem(toQString(line));
        return;
    }
    for (int i = 0; i < list->count(); ++i) {
        const QString text = toQString(lines[static_cast<std::size_t>(i)]);
        if (list->item(i)->text() != text) list->item(i)->setText(text);
    }
}

void FrmTimeData::Command7_Click() {
    PosixRecordFile file;
    const std::filesystem::path results = m_flow.installation().resultsFile();
    if (const Expected<void> refreshed = m_distribution->refresh(file, results);
        !refreshed && !m_distributionProblemTold) {
        m_distributionProblemTold = true;
        m_flow.boxes().inform(
            this, kTitle,
            QStringLiteral("成績のファイル「%1」を読めないため、度数分布は読めた所までです。\n\n"
                           "問題：%2")
                .arg(QString::fromStdString(results.string()),
                     toQString(refreshed.error().problem)));
    }
    const int histLevel = std::clamp(m_grid1->grid().row(), 0, ResultDistribution::kHighestLevel);
    fillList(m_list3, m_distribution->allResultsLines(histLevel));
    fillList(m_list4, m_distribution->bestTimeLines(histLevel));
}

}  // namespace gaisan

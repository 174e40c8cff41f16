#include "admin/FrmTimeData.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include "admin/AdminFlow.h"
#include "admin/ResultDistribution.h"
#include "app/AppState.h"
#include "app/MessageBoxes.h"
#include "app/QtConversions.h"
#include "platform/DataFileError.h"
#include "platform/PosixRecordFile.h"

namespace gaisan {
namespace {

const QColor kBackground(240, 240, 228);
const QString kTitle = QStringLiteral("合格タイムデータ変更");
constexpr int kRowsShown = 33;
/// The caret goes after this many characters, so that typing adds to a short value's end.
constexpr int kCaretColumn = 10;
const QColor kChanged(255, 255, 0);
const QColor kFixed(224, 224, 224);

QString dataFileProblem(const DataFileError& error) {
    return QStringLiteral("場所：%1\n問題：%2")
        .arg(QString::fromStdString(error.file().string()), toQString(error.problem()));
}

}  // namespace

FrmTimeData::FrmTimeData(AdminFlow& flow)
    : m_flow(flow),
      m_distribution(std::make_unique<ResultDistribution>()),
      m_picture1(new QWidget(this)),
      m_grid1(new QTableWidget(m_picture1)),
      m_gridInput(new QLineEdit(m_grid1->viewport())),
      m_command2(new QPushButton(QStringLiteral("元に戻す"), m_picture1)),
      m_command3(new QPushButton(QStringLiteral("更新記録"), m_picture1)),
      m_command4(new QPushButton(QStringLiteral("戻る"), m_picture1)),
      m_command7(new QPushButton(m_picture1)),
      m_list3(new QListWidget(m_picture1)),
      m_list4(new QListWidget(m_picture1)),
      m_picture6(new QWidget(this)) {
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
    addLabel(QStringLiteral("Label6"), QStringLiteral("列の説明"), m_picture1, {16, 44, 90, 24}, 16)
        ->setStyleSheet(QStringLiteral("color: #304080; font-weight: bold;"));
    m_label3 = addLabel(QStringLiteral("Label3"), {}, m_picture1, {110, 42, 546, 68}, 16,
                        Qt::AlignLeft | Qt::AlignTop);

    m_grid1->setObjectName(QStringLiteral("MSFlexGrid1"));
    m_grid1->setColumnCount(CriteriaGrid::kColumns);
    m_grid1->verticalHeader()->hide();
    m_grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid1->horizontalHeader()->setHighlightSections(false);
    m_grid1->horizontalHeader()->setMinimumSectionSize(1);
    m_grid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid1->verticalHeader()->setMinimumSectionSize(1);
    m_grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid1->setSelectionMode(QAbstractItemView::NoSelection);
    // The cell editor keeps the keyboard; the grid only takes clicks.
    m_grid1->setFocusPolicy(Qt::NoFocus);
    m_grid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    place(m_grid1, {16, 112, 640, 590}, 14);
    connect(m_grid1, &QTableWidget::cellClicked, this, &FrmTimeData::MSFlexGrid1_Click);
    connect(m_grid1->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        const QRect cell =
            m_grid1->visualRect(m_grid1->model()->index(m_grid.row() - 1, m_grid.column()));
        m_gridInput->setGeometry(cell);
    });

    m_gridInput->setObjectName(QStringLiteral("Gridinputtext"));
    m_gridInput->setFrame(false);
    m_gridInput->setStyleSheet(
        QStringLiteral("background-color: white; border: 2px solid #2050c0;"));
    m_gridInput->installEventFilter(this);
    connect(m_gridInput, &QLineEdit::textChanged, this, &FrmTimeData::TextToGrid転送);

    m_command3->setObjectName(QStringLiteral("Command3"));
    place(m_command3, {16, 712, 136, 48}, 20);
    connect(m_command3, &QPushButton::clicked, this, &FrmTimeData::Command3_Click);
    m_command2->setObjectName(QStringLiteral("Command2"));
    place(m_command2, {160, 712, 136, 48}, 20);
    connect(m_command2, &QPushButton::clicked, this, &FrmTimeData::Command2_Click);
    m_command4->setObjectName(QStringLiteral("Command4"));
    place(m_command4, {304, 712, 100, 48}, 20);
    connect(m_command4, &QPushButton::clicked, this, &FrmTimeData::Command4_Click);
    for (QPushButton* button : {m_command2, m_command3, m_command4})
        button->setFocusPolicy(Qt::NoFocus);
    addLabel(QStringLiteral("Label1"),
             QStringLiteral("スペース：セルクリア　　Shift + ↓：セルコピー"), m_picture1,
             {416, 712, 248, 48}, 14)
        ->setWordWrap(true);
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

    m_picture6->setObjectName(QStringLiteral("Picture6"));
    m_picture6->setAutoFillBackground(true);
    place(m_picture6, {0, 0, kDesignWidth, kDesignHeight});
    addLabel(QStringLiteral("Label8"), QStringLiteral("Just a moment,please."), m_picture6,
             {0, 300, kDesignWidth, 120}, 40, Qt::AlignCenter);
    m_picture6->hide();
}

FrmTimeData::~FrmTimeData() = default;

std::filesystem::path FrmTimeData::criteriaPath() const {
    return m_flow.state().locations.criteriaFile();
}

void FrmTimeData::Form_Load() {
    m_picture1->move(0, 0);
    m_picture6->move(0, 0);
    QStringList header;
    for (int column = 0; column < CriteriaGrid::kColumns; ++column)
        header << toQString(m_grid.cell(0, column));
    m_grid1->setHorizontalHeaderLabels(header);
    fitRows();
}

void FrmTimeData::Form_Activate() {
    m_picture1->show();
    Command2_Click();
    m_grid.click(1, 1);
    fitRows();
    ShowCellEditor();
    m_gridInput->setFocus();
    GridToText転送();
    Command7_Click();
}

void FrmTimeData::fitRows() {
    // The columns share the grid's width, the first field column 0.8 times the others; the rows
    // share its height, 33 of them with the header.
    const int width = m_grid1->viewport()->width();
    const int column = width / CriteriaGrid::kColumns;
    for (int c = 0; c < CriteriaGrid::kColumns; ++c) m_grid1->setColumnWidth(c, column);
    m_grid1->setColumnWidth(1, column * 8 / 10);
    const int rowHeight = std::max(1, (m_grid1->height() - 2 * m_grid1->frameWidth()) / kRowsShown);
    m_grid1->horizontalHeader()->setFixedHeight(rowHeight);
    m_grid1->verticalHeader()->setDefaultSectionSize(rowHeight);
}

void FrmTimeData::resizeEvent(QResizeEvent* event) {
    DesignCanvas::resizeEvent(event);
    fitRows();
    if (m_gridInput->isVisible()) {
        m_gridInput->setGeometry(
            m_grid1->visualRect(m_grid1->model()->index(m_grid.row() - 1, m_grid.column())));
    }
}

void FrmTimeData::showCell(int row, int column) {
    QTableWidgetItem* item = m_grid1->item(row - 1, column);
    if (!item) {
        item = new QTableWidgetItem;
        m_grid1->setItem(row - 1, column, item);
    }
    item->setText(toQString(m_grid.cell(row, column)));
    if (column == 0) {
        item->setBackground(kFixed);
        item->setTextAlignment(Qt::AlignCenter);
    } else {
        item->setBackground(m_grid.marked(row, column) ? QBrush(kChanged) : QBrush());
    }
}

void FrmTimeData::showGrid() {
    m_grid1->setRowCount(m_grid.lastRow());
    for (int row = 1; row <= m_grid.lastRow(); ++row) {
        for (int column = 0; column < CriteriaGrid::kColumns; ++column) showCell(row, column);
    }
}

void FrmTimeData::Command2_Click() {
    try {
        m_grid.load(readCriteriaFile(criteriaPath()));
    } catch (const DataFileError& error) {
        // The criteria in force are shown instead, as unsaved changes: "更新記録" writes them.
        const AppState& state = m_flow.state();
        m_grid.load(CriteriaGrid::linesInForce(state.criteria, state.profile.LevelCount), true);
        m_flow.boxes().inform(
            this, kTitle,
            QStringLiteral("基準のファイルを読めないため、いま使っている基準を表示します。"
                           "「更新記録」でファイルに書き直せます。\n\n") +
                dataFileProblem(error));
    }
    showGrid();
    if (m_gridInput->isVisible()) ShowCellEditor();
}

bool FrmTimeData::Command3_Click() {
    showWait(true);
    AppState& state = m_flow.state();
    bool saved = false;
    try {
        writeCriteriaFile(criteriaPath(), m_grid.lines(), state.profile.LevelCount);
        m_grid.saved();
        LoadCriteriaTable(criteriaPath(), state.criteria, state.profile.LevelCount);
        saved = true;
    } catch (const DataFileError& error) {
        m_picture6->hide();
        m_flow.boxes().inform(
            this, kTitle,
            QStringLiteral("基準を記録できませんでした。表の内容はそのまま残っています。\n\n") +
                dataFileProblem(error));
    }
    showWait(false);
    m_gridInput->setFocus();
    return saved;
}

void FrmTimeData::Command4_Click() {
    if (m_grid.gridChanged() &&
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
    const std::filesystem::path results =
        m_flow.state().locations.resultsFile();
    if (const auto error = m_distribution->refresh(file, results);
        error && !m_distributionProblemTold) {
        m_distributionProblemTold = true;
        m_flow.boxes().inform(
            this, kTitle,
            QStringLiteral("成績のファイル「%1」を読めないため、度数分布は読めた所までです。\n\n"
                           "問題：%2")
                .arg(QString::fromStdString(results.string()), toQString(error->description)));
    }
    const int histLevel = std::clamp(m_grid.row(), 0, ResultDistribution::kHighestLevel);
    fillList(m_list3, m_distribution->allResultsLines(histLevel));
    fillList(m_list4, m_distribution->bestTimeLines(histLevel));
}

void FrmTimeData::TextToGrid転送() {
    if (m_grid.lastRow() < 1) return;
    m_grid.textToGrid(m_gridInput->text().toStdString());
    showCell(m_grid.row(), m_grid.column());
}

void FrmTimeData::GridToText転送() {
    if (m_grid.lastRow() < 1) return;
    const QSignalBlocker quiet(m_gridInput);
    m_gridInput->setText(toQString(m_grid.cell(m_grid.row(), m_grid.column())));
    m_gridInput->setCursorPosition(
        std::min(kCaretColumn, static_cast<int>(m_gridInput->text().size())));
}

void FrmTimeData::ShowCellEditor() {
    m_label3->setText(toQString(CriteriaGrid::explanation(m_grid.column())));
    if (m_grid.lastRow() < 1) {
        m_gridInput->hide();
        return;
    }
    const QModelIndex index = m_grid1->model()->index(m_grid.row() - 1, m_grid.column());
    m_grid1->scrollTo(index);
    m_gridInput->setGeometry(m_grid1->visualRect(index));
    m_gridInput->show();
    m_gridInput->raise();
    m_gridInput->setFocus();
    m_gridInput->setCursorPosition(
        std::min(kCaretColumn, static_cast<int>(m_gridInput->text().size())));
}

void FrmTimeData::MSFlexGrid1_Click(int row, int column) {
    m_grid.click(row + 1, column);
    ShowCellEditor();
    Command7_Click();
    GridToText転送();
}

bool FrmTimeData::Gridinputtext_KeyDown(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return true;
    const bool modified = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier |
                                                Qt::AltModifier | Qt::MetaModifier);
    bool moved = false;
    switch (event->key()) {
        case Qt::Key_Up:
            moved = m_grid.up();
            break;
        case Qt::Key_Down:
            if (!modified) {
                moved = m_grid.down();
            } else if (m_grid.copyDown(m_gridInput->text().toStdString())) {
                for (int row = m_grid.row(); row <= m_grid.selectionEndRow(); ++row)
                    showCell(row, m_grid.column());
            }
            break;
        case Qt::Key_Left:
            moved = m_grid.left();
            break;
        case Qt::Key_Right:
            moved = m_grid.right();
            break;
        default:
            break;
    }
    if (moved) {
        GridToText転送();
        ShowCellEditor();
    }
    Command7_Click();
    GridToText転送();
    // What the key itself then does in the editor: a typed character goes in at the caret,
    // Backspace takes the character before it, the space clears the cell; nothing else edits.
    if (event->text() == QLatin1String(" ")) {
        m_gridInput->clear();
        return true;
    }
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Tab ||
        event->key() == Qt::Key_Backtab) {
        return false;
    }
    const QString text = event->text();
    return text.isEmpty() || !text.front().isPrint();
}

bool FrmTimeData::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_gridInput && event->type() == QEvent::KeyPress) {
        return Gridinputtext_KeyDown(static_cast<QKeyEvent*>(event));
    }
    return DesignCanvas::eventFilter(watched, event);
}

}  // namespace gaisan

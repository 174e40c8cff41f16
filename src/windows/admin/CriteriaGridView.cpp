#include "windows/admin/CriteriaGridView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <vector>

#include "kit/DesignCanvas.h"
#include "kit/QtConversions.h"

namespace gaisan {
namespace {

constexpr int kRowsShown = 33;
/// The caret goes after this many characters, so that typing adds to a short value's end.
constexpr int kCaretColumn = 10;
const QColor kChanged(255, 255, 0);
const QColor kFixed(224, 224, 224);

}  // namespace

CriteriaGridView::CriteriaGridView(DesignCanvas& canvas, QWidget* parent, const QRect& at,
                                   int fontPixels)
    : QTableWidget(parent), m_toldRow(m_grid.row()), m_gridInput(new QLineEdit(viewport())) {
    setObjectName(QStringLiteral("MSFlexGrid1"));
    setColumnCount(CriteriaGrid::kColumns);
    QStringList header;
    for (int column = 0; column < CriteriaGrid::kColumns; ++column)
        header << toQString(m_grid.cell(0, column));
    setHorizontalHeaderLabels(header);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    // The cell editor keeps the keyboard; the grid only takes clicks.
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Placed before the editor gets its style sheet: a widget with a style sheet keeps the font
    // it had when the sheet was set, and the editor is to write in the grid's font.
    canvas.place(this, at, fontPixels);
    connect(this, &QTableWidget::cellClicked, this, &CriteriaGridView::MSFlexGrid1_Click);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        m_gridInput->setGeometry(visualRect(model()->index(m_grid.row() - 1, m_grid.column())));
    });

    m_gridInput->setObjectName(QStringLiteral("Gridinputtext"));
    m_gridInput->setFrame(false);
    m_gridInput->setStyleSheet(
        QStringLiteral("background-color: white; border: 2px solid #2050c0;"));
    m_gridInput->installEventFilter(this);
    connect(m_gridInput, &QLineEdit::textChanged, this, &CriteriaGridView::TextToGrid転送);
}

void CriteriaGridView::load(const std::vector<CriteriaLine>& lines, bool unsaved) {
    m_grid.load(lines, unsaved);
    showGrid();
    if (m_gridInput->isVisible()) {
        ShowCellEditor();
        // The text box still held the text typed before: the next key would write it back.
        GridToText転送();
    }
    tellRow();
}

void CriteriaGridView::startAtFirstCell() {
    m_grid.click(1, 1);
    fitRows();
    ShowCellEditor();
    m_gridInput->setFocus();
    GridToText転送();
    tellRow();
}

void CriteriaGridView::fitRows() {
    // Each column is as wide as its title needs, and what is left of the grid's width is shared
    // evenly; shared evenly alone, the titles were cut off at both ends. The rows share the
    // grid's height, 33 of them with the header, but never lower than a line of text.
    const int width = viewport()->width();
    QHeaderView* header = horizontalHeader();
    std::vector<int> widths(CriteriaGrid::kColumns);
    int needed = 0;
    for (int c = 0; c < CriteriaGrid::kColumns; ++c) {
        widths[static_cast<std::size_t>(c)] = header->sectionSizeHint(c);
        needed += widths[static_cast<std::size_t>(c)];
    }
    const int spare = width - needed;
    for (int c = 0; c < CriteriaGrid::kColumns; ++c) {
        int share = widths[static_cast<std::size_t>(c)];
        if (spare >= 0) {
            share += spare / CriteriaGrid::kColumns + (c < spare % CriteriaGrid::kColumns ? 1 : 0);
        } else {
            share = share * width / std::max(1, needed);  // a tiny window: all shrink alike
        }
        setColumnWidth(c, share);
    }
    const int lineHeight = header->fontMetrics().height() + 2;
    const int rowHeight = std::max(lineHeight, (height() - 2 * frameWidth()) / kRowsShown);
    header->setFixedHeight(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
}

void CriteriaGridView::followCurrentCell() {
    if (m_gridInput->isVisible()) {
        m_gridInput->setGeometry(visualRect(model()->index(m_grid.row() - 1, m_grid.column())));
    }
}

void CriteriaGridView::showCell(int row, int column) {
    QTableWidgetItem* cell = item(row - 1, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        setItem(row - 1, column, cell);
    }
    cell->setText(toQString(m_grid.cell(row, column)));
    if (column == 0) {
        cell->setBackground(kFixed);
        cell->setTextAlignment(Qt::AlignCenter);
    } else {
        cell->setBackground(m_grid.marked(row, column) ? QBrush(kChanged) : QBrush());
    }
}

void CriteriaGridView::showGrid() {
    setRowCount(m_grid.lastRow());
    for (int row = 1; row <= m_grid.lastRow(); ++row) {
        for (int column = 0; column < CriteriaGrid::kColumns; ++column) showCell(row, column);
    }
}

void CriteriaGridView::tellRow() {
    if (m_grid.row() == m_toldRow) return;
    m_toldRow = m_grid.row();
    emit currentRowChanged(m_toldRow);
}

void CriteriaGridView::TextToGrid転送() {
    if (m_grid.lastRow() < 1) return;
    m_grid.textToGrid(m_gridInput->text().toStdString());
    showCell(m_grid.row(), m_grid.column());
    emit edited();
}

void CriteriaGridView::GridToText転送() {
    if (m_grid.lastRow() < 1) return;
    const QSignalBlocker quiet(m_gridInput);
    m_gridInput->setText(toQString(m_grid.cell(m_grid.row(), m_grid.column())));
    m_gridInput->setCursorPosition(
        std::min(kCaretColumn, static_cast<int>(m_gridInput->text().size())));
}

void CriteriaGridView::ShowCellEditor() {
    emit explanationShown(toQString(CriteriaGrid::explanation(m_grid.column())));
    if (m_grid.lastRow() < 1) {
        m_gridInput->hide();
        return;
    }
    const QModelIndex index = model()->index(m_grid.row() - 1, m_grid.column());
    scrollTo(index);
    m_gridInput->setGeometry(visualRect(index));
    m_gridInput->show();
    m_gridInput->raise();
    m_gridInput->setFocus();
    m_gridInput->setCursorPosition(
        std::min(kCaretColumn, static_cast<int>(m_gridInput->text().size())));
}

void CriteriaGridView::MSFlexGrid1_Click(int row, int column) {
    m_grid.click(row + 1, column);
    ShowCellEditor();
    tellRow();
    GridToText転送();
}

bool CriteriaGridView::Gridinputtext_KeyDown(QKeyEvent* event) {
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
                emit edited();
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
    tellRow();
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

bool CriteriaGridView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_gridInput && event->type() == QEvent::KeyPress) {
        return Gridinputtext_KeyDown(static_cast<QKeyEvent*>(event));
    }
    return QTableWidget::eventFilter(watched, event);
}

}  // namespace gaisan

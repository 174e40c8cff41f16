#include "windows/menu/LevelColumn.h"

#include <QEvent>

#include "kit/DesignCanvas.h"
#include "kit/QtConversions.h"
#include "rules/menu/LevelColumnTexts.h"
#include "rules/menu/LevelMenu.h"
#include "rules/student/StudentScreenTexts.h"

namespace gaisan {
namespace {

// The space kept free at a column's right, between it and the next one.
constexpr int kColumnGap = 6;

}  // namespace

LevelColumn::LevelColumn(DesignCanvas& canvas, QWidget* area, const LevelMenu& menu, int level,
                         int width, int height)
    : QWidget(area), m_level(level) {
    setObjectName(arrayName(QStringLiteral("Column"), level));
    canvas.place(this, {0, 0, width, height});
    const int inner = width - kColumnGap;
    canvas.addLabel(arrayName(QStringLiteral("Label1"), level), QString::number(level), this,
                    {0, 0, 28, 40}, 20);
    m_name = canvas.addLabel(arrayName(QStringLiteral("Label3"), level),
                             toQString(menu.profile().LevelNames.at(level)), this,
                             {30, 0, inner - 30, 40}, 24);
    m_name->setToolTip(m_name->text());
    m_name->setCursor(Qt::PointingHandCursor);
    m_name->installEventFilter(this);
    m_start = new QPushButton(toQString(startCaption(level)), this);
    m_start->setObjectName(arrayName(QStringLiteral("Command4"), level));
    canvas.place(m_start, {0, 42, inner, 52}, 26);
    connect(m_start, &QPushButton::clicked, this, [this] { emit startClicked(m_level); });
    m_overuse = canvas.addLabel(arrayName(QStringLiteral("Text1"), level), {}, this,
                                {0, 42, inner, 52}, 24, Qt::AlignCenter);
    m_overuse->setStyleSheet(
        QStringLiteral("background-color: #ffff80; color: #d00000; border: 2px solid #d00000;"));
    m_overuse->hide();
    m_criteria =
        canvas.addLabel(arrayName(QStringLiteral("Label7"), level),
                        toQString(menu.criteriaLine(level)), this, {0, 100, inner, 30}, 16);
    m_passWindow =
        canvas.addLabel(arrayName(QStringLiteral("Label8"), level),
                        toQString(menu.passWindowLine(level)), this, {0, 132, inner, 30}, 16);
    m_today = canvas.addLabel(arrayName(QStringLiteral("Label14"), level), {}, this,
                              {0, 166, inner / 2, 30}, 16);
    m_totals = canvas.addLabel(arrayName(QStringLiteral("Label15"), level), {}, this,
                               {inner / 2, 166, inner - inner / 2, 30}, 16);
    // Until a results view is built, the captions show the column's number.
    m_todayCaption = canvas.addLabel(arrayName(QStringLiteral("Label9"), level),
                                     QString::number(level), this, {0, 198, inner / 2, 28}, 16);
    m_totalCaption =
        canvas.addLabel(arrayName(QStringLiteral("Label10"), level), QString::number(level), this,
                        {inner / 2, 198, inner - inner / 2, 28}, 16);
    m_list = new QListWidget(this);
    m_list->setObjectName(arrayName(QStringLiteral("List5"), level));
    // Every row has the same height; telling the list so spares it measuring 5000 rows.
    m_list->setUniformItemSizes(true);
    canvas.place(m_list, {0, 228, inner, 368}, 14);
    m_list->hide();
}

void LevelColumn::showStudentCounts(const LevelMenu& menu) {
    for (QLabel* label : {m_criteria, m_passWindow}) {
        label->setStyleSheet(QStringLiteral("background-color: rgb(224, 224, 224);"));
    }
    m_totals->setText(toQString(menu.totalsLine(m_level)));
    m_today->setText(toQString(menu.todayLine(m_level)));
    m_start->setEnabled(false);
}

void LevelColumn::showAvailability(bool enabled, bool overuseMark) {
    m_start->setEnabled(enabled);
    m_overuse->setText(toQString(kOveruseMark));
    m_overuse->setVisible(overuseMark);
    m_overuse->raise();
}

void LevelColumn::showListCaptions() {
    m_todayCaption->setText(toQString(kTodayCaption));
    m_totalCaption->setText(toQString(kTotalCaption));
}

void LevelColumn::addRows(const std::vector<std::string>& rows) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(rows.size()));
    for (const std::string& row : rows) texts.append(toQString(row));
    m_list->addItems(texts);
}

std::vector<std::string> LevelColumn::rows() const {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(m_list->count()));
    for (int row = 0; row < m_list->count(); ++row) {
        texts.push_back(m_list->item(row)->text().toStdString());
    }
    return texts;
}

void LevelColumn::scrollToRow(int row) {
    m_list->scrollToItem(m_list->item(row), QAbstractItemView::PositionAtTop);
}

void LevelColumn::clearSelection() {
    if (m_list->count() > 0) m_list->setCurrentRow(-1);
}

void LevelColumn::hideResults() {
    for (QWidget* part : std::initializer_list<QWidget*>{
             m_list, m_criteria, m_passWindow, m_today, m_totals, m_todayCaption, m_totalCaption}) {
        part->hide();
    }
}

bool LevelColumn::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_name && event->type() == QEvent::MouseButtonRelease) {
        emit nameClicked(m_level);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace gaisan

#include "windows/menu/GraphPanel.h"

#include <QApplication>
#include <QPainter>
#include <QPrinter>

#include "kit/DesignCanvas.h"
#include "kit/PrintDialog.h"
#include "kit/QtConversions.h"
#include "platform/Clock.h"
#include "platform/Utf8.h"
#include "rules/menu/LevelMenu.h"
#include "stores/roster/Roster.h"
#include "windows/menu/GraphPainter.h"
#include "windows/menu/GraphPanelHost.h"
#include "windows/menu/GraphView.h"

namespace gaisan {
namespace {

// Below the view and list options, which stay usable while the graphs show: choosing another
// view closes the panel.
constexpr QRect kPanel{8, 148, 1008, 612};
// The surface leaves the right column room for the student list, whose items hold a grade,
// a name of up to seven characters and a number.
constexpr QRect kSurface{0, 0, 760, 612};
constexpr double kScreenFontSize = 6;

/// A student-list item carries its student as a number, whatever its text says.
constexpr int kStudentRole = Qt::UserRole;

}  // namespace

GraphPanel::GraphPanel(GraphPanelHost& host, DesignCanvas& canvas, BandOf band)
    : QWidget(&canvas),
      m_flow(host),
      m_canvas(canvas),
      m_band(std::move(band)),
      m_choosePrinter(choosePrinterInDialog),
      m_picture12(new GraphView(this)),
      m_list3(new QListWidget(this)),
      m_list2(new QListWidget(this)),
      m_command25(new QPushButton(QStringLiteral("他の人のデータを見る"), this)),
      m_command24Show(new QPushButton(QStringLiteral("表示"), this)),
      m_command24Print(new QPushButton(QStringLiteral("印刷"), this)),
      m_command18(new QPushButton(QStringLiteral("戻る"), this)) {
    setObjectName(QStringLiteral("Picture11"));
    setAutoFillBackground(true);
    canvas.place(this, kPanel);
    canvas.place(m_picture12, kSurface);
    m_label27 = canvas.addLabel(QStringLiteral("Label27"), QStringLiteral("ﾚﾍﾞﾙ"), this,
                                {770, 0, 140, 24}, 16);
    m_list3->setObjectName(QStringLiteral("List3"));
    m_list3->setSelectionMode(QAbstractItemView::MultiSelection);
    canvas.place(m_list3, {770, 24, 140, 220}, 16);
    const std::initializer_list<std::pair<QPushButton*, QRect>> buttons = {
        {m_command24Show, {918, 24, 90, 44}},
        {m_command24Print, {918, 76, 90, 44}},
        {m_command18, {918, 128, 90, 44}},
        {m_command25, {770, 252, 238, 44}}};
    for (const auto& [button, at] : buttons) canvas.place(button, at, 16);
    m_command24Show->setObjectName(QStringLiteral("Command24_0"));
    m_command24Print->setObjectName(QStringLiteral("Command24_1"));
    m_command18->setObjectName(QStringLiteral("Command18"));
    m_command25->setObjectName(QStringLiteral("Command25"));
    m_list2->setObjectName(QStringLiteral("List2"));
    m_list2->setSelectionMode(QAbstractItemView::MultiSelection);
    canvas.place(m_list2, {770, 252, 238, 300}, 14);
    m_list2->hide();
    m_levelsNote = canvas.addLabel(QStringLiteral("LevelsNotDrawn"), {}, this, {770, 530, 238, 80},
                                   14, Qt::AlignLeft | Qt::AlignTop);
    m_levelsNote->setWordWrap(true);
    m_levelsNote->setStyleSheet(QStringLiteral("color: #c00000;"));

    connect(m_command25, &QPushButton::clicked, this, &GraphPanel::Command25_Click);
    connect(m_command24Show, &QPushButton::clicked, this, [this] { Command24_Click(0); });
    connect(m_command24Print, &QPushButton::clicked, this, [this] { Command24_Click(1); });
    connect(m_command18, &QPushButton::clicked, this, &GraphPanel::Command18_Click);
    connect(m_list2, &QListWidget::itemClicked, this, &GraphPanel::List2_Click);
    connect(m_list3, &QListWidget::itemClicked, this, &GraphPanel::List3_Click);
    hide();
}

void GraphPanel::fillLevelList() {
    m_list3->clear();
    for (int level = 1; level <= m_flow.levelMenu().profile().LevelCount; ++level) {
        m_list3->addItem(QString::number(level));
    }
}

void GraphPanel::fillStudentList() {
    m_list2->clear();
    const auto loaded = m_flow.levelMenu().readRoster([&](const RosterEntry& entry, int grade) {
        auto* item = new QListWidgetItem(toQString(gradeLabelOf(grade).value_or("")) +
                                         QStringLiteral(" /  ") +
                                         toQString(std::string(trimSpaces(entry.Name))) +
                                         QLatin1Char('/') + QString::number(entry.StudentIndex));
        // Numbered before it joins the list: a change to an item in a list makes the list
        // look the item up, once per student.
        item->setData(kStudentRole, entry.StudentIndex);
        m_list2->addItem(item);
    });
    if (!loaded) m_flow.reportUnusableFile(loaded.error());
}

void GraphPanel::Command17_Click() {
    m_graphStudent = m_flow.levelMenu().login().StudentIndex;
    m_list2->hide();
    m_command25->show();
    m_list2->clearSelection();
    if (m_list3->count() == 0) fillLevelList();
    m_list3->clearSelection();
    for (int row = 0; row < std::min(3, m_list3->count()); ++row)
        m_list3->item(row)->setSelected(true);
    // Deliberately any name containing "先生", unlike the data command, which is the teacher's
    // alone.
    m_command24Print->setVisible(
        toQString(m_flow.levelMenu().login().StudentName).contains(QStringLiteral("先生")));
    show();
    raise();
    drawOnScreen();
}

void GraphPanel::Command18_Click() { hide(); }

void GraphPanel::Command25_Click() {
    m_command25->hide();
    m_list2->show();
}

void GraphPanel::List2_Click() { Command24_Click(0); }

void GraphPanel::List3_Click() {
    if (isVisible()) Command24_Click(0);
}

void GraphPanel::Command24_Click(int index) {
    if (index == 1) {
        print();
        return;
    }
    for (const int student : chosenStudents()) {
        m_graphStudent = student;
        drawOnScreen();
    }
}

std::vector<int> GraphPanel::chosenStudents() const {
    std::vector<int> students;
    for (int row = 0; row < m_list2->count(); ++row) {
        const QListWidgetItem* item = m_list2->item(row);
        if (item->isSelected()) students.push_back(item->data(kStudentRole).toInt());
    }
    if (students.empty()) students.push_back(m_graphStudent);
    return students;
}

std::vector<int> GraphPanel::chosenLevels() const {
    std::vector<int> levels;
    for (int row = 0; row < m_list3->count(); ++row) {
        if (m_list3->item(row)->isSelected()) levels.push_back(row + 1);
    }
    return levels;
}

GraphRequest GraphPanel::requestFor(int student) const {
    const LevelMenu& menu = m_flow.levelMenu();
    const ProgramProfile& profile = menu.profile();
    GraphRequest request;
    request.student = student;
    request.studentName = std::string(trimSpaces(menu.roster().RosterNames.at(student)));
    request.subjectTitle = profile.SubjectTitle;
    request.levels = chosenLevels();
    request.levelCount = profile.LevelCount;
    request.levelNames.assign(profile.LevelNames.begin(), profile.LevelNames.end());
    const CivilDate today = m_flow.clock().now().date;
    request.today = daySerial(today);
    const int grade = GradeNumber(schoolYearOf(today, menu.school().YearChangeMonth),
                                  menu.roster().RosterYear.at(student));
    request.studentInBand = InGradeBand(grade, m_band());
    request.baseFontSize = kScreenFontSize;
    return request;
}

LevelStatistics GraphPanel::statisticsOf(int student, int level) const {
    return m_flow.levelMenu().statistics(student, level, m_band());
}

bool GraphPanel::readRecords() { return m_flow.readGraphRecords(m_records).has_value(); }

void GraphPanel::drawOnScreen() {
    if (!readRecords()) return;
    const int student = m_graphStudent;
    const double zoom = m_picture12->height() / static_cast<double>(kSurface.height());
    const GraphDrawing drawing = drawProgressGraphs(
        requestFor(student), m_records, m_picture12->surface(),
        [&](int level) { return statisticsOf(student, level); },
        graphTextMeasure(m_picture12->font(), m_picture12, zoom));
    m_picture12->showPage(drawing.pages.back(), zoom);
    tellLevelsNotDrawn(drawing.levelsNotDrawn);
    QCoreApplication::processEvents();
}

bool GraphPanel::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!m_choosePrinter(printer, this)) return false;
    if (!readRecords()) return false;
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_flow.reportPrintFailure();
        return false;
    }
    painter.setFont(m_picture12->font());
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const GraphSurface surface = graphSurface(printer, page.width(), page.height(), true);
    const MeasureText measure = graphTextMeasure(painter.font(), &printer);
    bool firstPage = true;
    for (const int student : chosenStudents()) {
        m_graphStudent = student;
        const GraphDrawing drawing = drawProgressGraphs(
            requestFor(student), m_records, surface,
            [&](int level) { return statisticsOf(student, level); }, measure);
        for (const GraphPage& graphPage : drawing.pages) {
            if (!firstPage) printer.newPage();
            firstPage = false;
            paintGraphPage(painter, graphPage, surface);
        }
        tellLevelsNotDrawn(drawing.levelsNotDrawn);
    }
    return painter.end();
}

void GraphPanel::tellLevelsNotDrawn(const std::vector<int>& levels) {
    QStringList numbers;
    for (const int level : levels) numbers.append(QString::number(level));
    m_levelsNote->setText(numbers.isEmpty()
                              ? QString()
                              : QStringLiteral("レベル%1のグラフはかけません（レベル%2まで）")
                                    .arg(numbers.join(QStringLiteral("・")))
                                    .arg(kHighestGraphLevel));
}

}  // namespace gaisan

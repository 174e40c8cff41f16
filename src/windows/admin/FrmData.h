#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>

#include <cstdint>
#include <memory>

#include "kit/DesignCanvas.h"
#include "platform/PosixRecordFile.h"
#include "rules/admin/BrowserStudents.h"
#include "rules/admin/RecordSnapshot.h"
#include "stores/results/RecordsAdministration.h"

namespace gaisan {

class AdminFlow;
class RecordListModel;

/// The records browser: every recorded run, one line per record in record order; a double-click
/// opens the edit panel, where the run's time and student can be written back ("変更して記録")
/// or the record deleted ("消去"). "元に戻す" lists the newest changes of the change history (this
/// machine's and others') and takes back the one chosen. It works directly on the shared file,
/// through RecordsAdministration, and returns to the level menu with "戻る".
class FrmData : public DesignCanvas {
    Q_OBJECT

public:
    explicit FrmData(AdminFlow& flow);
    ~FrmData() override;

    void Form_Load();
    /// Rebuilds the student tables and the chooser from the roster and the list from the file.
    void refresh();

    void List1_Click();
    void List1_DblClick();
    void Combo1_Click();
    void VScroll1_Change(int value);
    /// "変更して記録": writes the edited record back.
    void Command2_Click();
    /// "消去": deletes the record after a question.
    void Command3_Click();
    /// "戻る": back to the level menu.
    void Command4_Click();
    /// "元に戻す": takes back a change chosen among the newest of the history.
    void Command7_Click();
    /// "キャンセル": puts the panel back to the chosen record as it was read.
    void Command6_Click();

    std::uint64_t selectedRecordNo() const { return m_selectedRecordNo; }

private:
    std::filesystem::path resultsPath() const;
    /// The administration of the results file through `file`, telling `found` what it found of a
    /// change a crash cut short.
    RecordsAdministration administration(RecordFile& file, InterruptedMove& found);
    /// Fills the panel from the record read at the double-click.
    void showChosenRecord();
    /// Tells the teacher the outcome of a change that did not go through (`notTheOneChosen` when
    /// what was chosen is no longer there as it was listed), what was found of an interrupted
    /// delete, and answers that could not follow their run; true when the change was made.
    bool report(const RecordsAdministration::Result& result, const InterruptedMove& found,
                const QString& notTheOneChosen);
    /// The message for a record chosen in the list that another machine changed meanwhile.
    QString chosenRecordChanged() const;
    /// Refreshes and selects the line for `record`, which closes the panel.
    void refreshAndSelect(std::uint64_t record);
    void tell(const QString& text);
    /// The window takes no clicks while a change waits for the file.
    void setBusy(bool busy);

    AdminFlow& m_flow;
    RecordSnapshot m_snapshot;
    std::unique_ptr<BrowserStudents> m_students;
    RecordListModel* m_model;
    bool m_rosterProblemTold = false;
    std::uint64_t m_selectedRecordNo = 0;
    RecordBytes m_recordBuffer{};
    /// The answers of a run given to another student are moved through it.
    PosixRecordFile m_answersFile;

    QListView* m_list1;
    QLabel* m_label5;
    QPushButton* m_command4;
    QPushButton* m_command7;
    QWidget* m_picture3;
    QLabel* m_label1;
    QLabel* m_label2Level;
    QLabel* m_label2Date;
    QComboBox* m_combo1;
    QLabel* m_label2Grade;
    QLineEdit* m_text1;
    QScrollBar* m_vScroll1;
    QPushButton* m_command2;
    QPushButton* m_command3;
    QPushButton* m_command6;
    QWidget* m_picture1;
};

}  // namespace gaisan

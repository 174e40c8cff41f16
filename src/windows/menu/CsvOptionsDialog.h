#pragma once

#include <QCheckBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "platform/Calendar.h"
#include "rules/exports/ResultsExport.h"

namespace gaisan {

/// What goes into a saved spreadsheet file: the runs of which days, in which character set.
struct CsvOptions {
    ExportPeriod period;  ///< both ends open: every run
    ExportEncoding encoding = ExportEncoding::Utf8;
};

/// The small dialog before the save dialog of "CSVで保存": the days of the runs ("すべて" by
/// default, or from one date to another, both included) and the character set (UTF-8, or CP932
/// for older spreadsheet programs). A range that ends before it begins cannot be confirmed.
class CsvOptionsDialog : public QDialog {
    Q_OBJECT

public:
    /// The dates start at the last 30 days up to `today`, for when "すべて" is unticked.
    CsvOptionsDialog(QWidget* parent, const CivilDate& today);

    /// What the dialog shows now; empty while the range ends before it begins.
    std::optional<CsvOptions> options() const;

    /// Shows the dialog; empty when the teacher cancels.
    static std::optional<CsvOptions> ask(QWidget* parent, const CivilDate& today);

private:
    void refresh();

    QCheckBox* m_allDays;
    QDateEdit* m_from;
    QDateEdit* m_to;
    QLabel* m_problem;
    QRadioButton* m_utf8;
    QRadioButton* m_cp932;
    QPushButton* m_next;
};

}  // namespace gaisan

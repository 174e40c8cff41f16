#pragma once

#include <QDialog>

#include <string>

class QLabel;

namespace gaisan {

/// The version window: the subject title and "Version" + major.minor.revision.
class frmver : public QDialog {
    Q_OBJECT

public:
    frmver(std::string subjectTitle, QWidget* over);

    void Form_Activate();

private:
    std::string m_subjectTitle;
    QLabel* m_label1;
    QLabel* m_label2;
};

}  // namespace gaisan

#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace gaisan {

class AdminFlow;

/// "CSVで保存" of the teacher's maintenance panel: asks where to save, with today's date in the
/// suggested name, writes every run of the results file there as a spreadsheet file (UTF-8),
/// showing its progress, and says when it is done, or what went wrong.
class ResultsCsvSaver {
public:
    /// Asks for the file to save to, starting from `suggested`; empty when the teacher cancels.
    using FileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;

    explicit ResultsCsvSaver(AdminFlow& flow);

    void save(QWidget* parent);
    /// Replaces the system's save dialog, for tests.
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

private:
    AdminFlow& m_flow;
    FileChooser m_chooseFile;
};

}  // namespace gaisan

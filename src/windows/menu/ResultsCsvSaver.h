#pragma once

#include <QString>

#include <functional>
#include <optional>

#include "windows/menu/CsvOptionsDialog.h"

class QWidget;

namespace gaisan {

class LevelMenu;
class Clock;
class MessageBoxes;

/// "CSVで保存" of the teacher's maintenance panel: asks which days' runs and which character set,
/// then where to save, with today's date in the suggested name, writes the runs of the results
/// file there as a spreadsheet file, showing its progress, and says when it is done, or what went
/// wrong.
class ResultsCsvSaver {
public:
    /// Asks for the file to save to, starting from `suggested`; empty when the teacher cancels.
    using FileChooser = std::function<QString(QWidget* parent, const QString& suggested)>;

    /// Asks which runs and which character set; empty when the teacher cancels.
    using OptionsChooser =
        std::function<std::optional<CsvOptions>(QWidget* parent, const CivilDate& today)>;

    ResultsCsvSaver(const LevelMenu& menu, const Clock& clock, MessageBoxes& boxes);

    void save(QWidget* parent);
    /// Replaces the system's save dialog, for tests.
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    /// Replaces the options dialog, for tests.
    void setOptionsChooser(OptionsChooser chooser) { m_chooseOptions = std::move(chooser); }

private:
    const LevelMenu& m_menu;
    const Clock& m_clock;
    MessageBoxes& m_boxes;
    FileChooser m_chooseFile;
    OptionsChooser m_chooseOptions;
};

}  // namespace gaisan

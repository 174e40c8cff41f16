#include "windows/menu/ResultsCsvSaver.h"

#include <QDir>
#include <QProgressDialog>

#include <algorithm>
#include <climits>

#include "kit/MessageBoxes.h"
#include "kit/QtConversions.h"
#include "kit/SaveFileDialog.h"
#include "platform/Calendar.h"
#include "platform/Clock.h"
#include "platform/DataFileError.h"
#include "rules/exports/ResultsExport.h"
#include "rules/menu/LevelMenu.h"

namespace gaisan {
namespace {

QString systemSaveDialog(QWidget* parent, const QString& suggested) {
    return chooseSaveFile(parent, QStringLiteral("成績をCSVで保存"), suggested,
                          QStringLiteral("CSVファイル (*.csv)"));
}

}  // namespace

ResultsCsvSaver::ResultsCsvSaver(const LevelMenu& menu, const Clock& clock, MessageBoxes& boxes)
    : m_menu(menu),
      m_clock(clock),
      m_boxes(boxes),
      m_chooseFile(systemSaveDialog),
      m_chooseOptions(CsvOptionsDialog::ask) {}

void ResultsCsvSaver::save(QWidget* parent) {
    const CivilDate today = m_clock.now().date;
    const std::optional<CsvOptions> options = m_chooseOptions(parent, today);
    if (!options) return;
    const QString suggested = QDir::home().filePath(QStringLiteral("成績_%1-%2-%3.csv")
                                                        .arg(today.year, 4, 10, QLatin1Char('0'))
                                                        .arg(today.month, 2, 10, QLatin1Char('0'))
                                                        .arg(today.day, 2, 10, QLatin1Char('0')));
    const QString target = m_chooseFile(parent, suggested);
    if (target.isEmpty()) return;

    // Large files take a while: the progress shows once the writing has gone on for a moment.
    QProgressDialog progress(QStringLiteral("成績を書き出しています…"), QString(), 0, 1000, parent);
    progress.setObjectName(QStringLiteral("CsvProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const auto showProgress = [&](std::uint64_t done, std::uint64_t total) {
        progress.setValue(
            total == 0 ? 1000
                       : static_cast<int>(std::min<std::uint64_t>(1000, done * 1000 / total)));
    };
    const ExportSources sources = m_menu.exportSources();
    const std::filesystem::path results = m_menu.resultsFile();
    try {
        const ExportSummary summary =
            exportResultsToFile(results, sources, options->period, options->encoding,
                                target.toStdString(), showProgress);
        progress.close();
        QString text =
            QStringLiteral("%1件の成績を保存しました。\n\n%2").arg(summary.rows).arg(target);
        if (summary.passedOver != 0) {
            text +=
                QStringLiteral("\n\n読めない記録%1件は入れていません。").arg(summary.passedOver);
        }
        m_boxes.inform(parent, QStringLiteral("CSVで保存"), text);
    } catch (const DataFileError& error) {
        progress.close();
        m_boxes.inform(
            parent, QStringLiteral("CSVで保存"),
            QStringLiteral("保存できませんでした。\n\n場所：%1\n問題：%2")
                .arg(QString::fromStdString(error.file().string()), toQString(error.problem())));
    }
}

}  // namespace gaisan

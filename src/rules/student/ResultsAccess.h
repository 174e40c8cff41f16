#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/LoadedRecords.h"
#include "platform/Clock.h"
#include "platform/PosixRecordFile.h"
#include "platform/RecordFile.h"
#include "rules/menu/NewestRecords.h"
#include "rules/menu/RunLists.h"
#include "rules/student/StudentResults.h"
#include "stores/results/FileRetries.h"
#include "stores/results/ResultsFile.h"

namespace gaisan {

struct AppState;

/// The screens' one way to the results file "成績累積データ.dat" of the data folder: the check
/// at start-up, the recount, the record of a finished run with its answers, the level menu's run
/// lists and the graphs' records. Each returns the failure the program cannot go on from, its
/// problem the message it ends with.
///
/// The file is named when it is first used, since the data folder is known only once the
/// configuration is loaded. A file another machine holds is waited out: the recount and the
/// append wait a second at a time through `wait`; the menu's reads wait a second and then hand
/// `tellBusy` the text that tells the user to call the teacher, before every retry.
class ResultsAccess final : public StudentResults {
public:
    /// The progress of a read: the record about to be read, and of how many.
    using ReadProgress = std::function<void(std::uint64_t, std::uint64_t)>;
    using BusyNotice = std::function<void(const std::string& text)>;

    ResultsAccess(AppState& state, RecordFile& file, const Clock& clock, RetryWait wait,
                  BusyNotice tellBusy);
    ~ResultsAccess() override;

    /// Opens the file for writing, creating it when absent (ResultsFile::checkWritable).
    Expected<void> checkWritable();
    /// Loads the newest records and rebuilds the count and best-time tables (ComputeCounts).
    Expected<void> recount() override;
    /// Evaluates the run just finished on `level` and appends its record (RecordRunResult). A
    /// day's copy the append failed to take is kept for sharedFileProblems.
    Expected<void> recordRun(int level) override;
    /// Builds a run list into `rows` (menu/RunLists).
    Expected<void> readRunList(const RunListQuery& query, const ReadProgress& progress,
                               RunListRows& rows);
    /// The newest records, oldest first, as the run lists read them. A failure is named after
    /// the graph button, "Command19", as the run lists' failures are after theirs.
    Expected<void> readGraphRecords(std::vector<LoadedRecord>& records);

    /// What keeps the classroom's users from sharing the results file or from getting its daily
    /// copies (sharedFileProblemsOf), and a copy this machine failed to take at its last record.
    std::vector<std::string> sharedFileProblems();

    /// The results file of the data folder.
    std::filesystem::path resultsFile() const;

private:
    ResultsFile& results();
    RecordReadEvents menuReadEvents(const ReadProgress& progress) const;

    AppState& m_state;
    RecordFile& m_file;
    const Clock& m_clock;
    RetryWait m_wait;
    BusyNotice m_tellBusy;
    std::unique_ptr<ResultsFile> m_results;
    /// The day's copy this machine's last record failed to take: the teacher hears of it at the
    /// menu, where the classroom's other sharing problems are told.
    std::optional<Failure> m_lastBackupProblem;
    /// The runs' answers go to files of their own, opened while the results file is.
    PosixRecordFile m_answersFile;
};

/// What a menu read tells the user while another machine holds the results file: "先生を呼び
/// なさい" with the error's description and number.
std::string busyResultsFileText(const FileError& error);

}  // namespace gaisan

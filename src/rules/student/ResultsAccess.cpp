#include "rules/student/ResultsAccess.h"

#include "base/AppState.h"
#include "rules/counts/Counts.h"
#include "stores/results/SharedFilesCheck.h"

namespace gaisan {

ResultsAccess::ResultsAccess(AppState& state, RecordFile& file, const Clock& clock, RetryWait wait,
                             BusyNotice tellBusy)
    : m_state(state),
      m_file(file),
      m_clock(clock),
      m_wait(std::move(wait)),
      m_tellBusy(std::move(tellBusy)) {}

ResultsAccess::~ResultsAccess() = default;

std::filesystem::path ResultsAccess::resultsFile() const { return m_state.locations.resultsFile(); }

ResultsFile& ResultsAccess::results() {
    if (!m_results) {
        m_results = std::make_unique<ResultsFile>(m_file, resultsFile(), m_clock, m_wait);
        m_results->keepAnswers(m_answersFile);
    }
    return *m_results;
}

Expected<void> ResultsAccess::checkWritable() { return results().checkWritable(); }

Expected<void> ResultsAccess::recount() { return ComputeCounts(m_state, results(), m_clock.now()); }

Expected<void> ResultsAccess::recordRun(int level) {
    Expected<AppendDone> recorded = RecordRunResult(m_state, results(), level);
    if (!recorded) return Unexpected(std::move(recorded).error());
    m_lastBackupProblem = std::move(recorded->backupProblem);
    return {};
}

RecordReadEvents ResultsAccess::menuReadEvents(const ReadProgress& progress) const {
    return {[this](const FileError& error) {
                m_wait(1);
                m_tellBusy(busyResultsFileText(error));
            },
            progress};
}

Expected<void> ResultsAccess::readRunList(const RunListQuery& query, const ReadProgress& progress,
                                          RunListRows& rows) {
    return gaisan::readRunList(m_state, m_file, resultsFile(), query, menuReadEvents(progress),
                               rows);
}

Expected<void> ResultsAccess::readGraphRecords(std::vector<LoadedRecord>& records) {
    records.clear();
    const Expected<void> read =
        readNewestRecords(m_file, resultsFile(), LoadedRecords::kLoadWindow, menuReadEvents({}),
                          [&](const LoadedRecord& record) { records.push_back(record); });
    if (read) return read;
    const FileError& error = read.error().error;
    return Unexpected(Failure{
        resultsFile(), "Command19" + error.description + std::to_string(error.number), error});
}

std::string busyResultsFileText(const FileError& error) {
    return "先生を呼びなさい" + error.description + std::to_string(error.number);
}

std::vector<std::string> ResultsAccess::sharedFileProblems() {
    std::vector<std::string> problems =
        sharedFileProblemsOf(m_file, resultsFile(), m_clock.now().date);
    if (m_lastBackupProblem) problems.push_back(m_lastBackupProblem->text());
    return problems;
}

}  // namespace gaisan

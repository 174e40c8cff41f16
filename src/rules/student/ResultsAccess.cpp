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

std::optional<ResultsFileFailure> ResultsAccess::checkWritable() {
    return results().checkWritable();
}

std::optional<ResultsFileFailure> ResultsAccess::computeCounts() {
    return ComputeCounts(m_state, results(), m_clock.now());
}

std::optional<ResultsFileFailure> ResultsAccess::recordRunResult(int level) {
    return RecordRunResult(m_state, results(), level);
}

Expected<void> ResultsAccess::recount() { return failureNamingTheFile(computeCounts()); }

Expected<void> ResultsAccess::recordRun(int level) {
    return failureNamingTheFile(recordRunResult(level));
}

Expected<void> ResultsAccess::failureNamingTheFile(
    const std::optional<ResultsFileFailure>& failure) const {
    if (!failure) return {};
    return Unexpected(Failure{resultsFile(), failure->message});
}

RecordReadEvents ResultsAccess::menuReadEvents(const ReadProgress& progress) const {
    return {[this](const FileError& error) {
                m_wait(1);
                m_tellBusy(busyResultsFileText(error));
            },
            progress};
}

std::optional<ResultsFileFailure> ResultsAccess::readRunList(const RunListQuery& query,
                                                             const ReadProgress& progress,
                                                             RunListRows& rows) {
    return gaisan::readRunList(m_state, m_file, resultsFile(), query, menuReadEvents(progress),
                               rows);
}

std::optional<ResultsFileFailure> ResultsAccess::readGraphRecords(
    std::vector<LoadedRecord>& records) {
    records.clear();
    const auto error =
        readNewestRecords(m_file, resultsFile(), LoadedRecords::kLoadWindow, menuReadEvents({}),
                          [&](const LoadedRecord& record) { records.push_back(record); });
    if (!error) return std::nullopt;
    return ResultsFileFailure{"Command19" + error->description + std::to_string(error->number)};
}

std::string busyResultsFileText(const FileError& error) {
    return "先生を呼びなさい" + error.description + std::to_string(error.number);
}

std::vector<std::string> ResultsAccess::sharedFileProblems() {
    std::vector<std::string> problems =
        sharedFileProblemsOf(m_file, resultsFile(), m_clock.now().date);
    if (m_results && m_results->backupProblem()) problems.push_back(*m_results->backupProblem());
    return problems;
}

}  // namespace gaisan

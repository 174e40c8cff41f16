#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/FilePlaces.h"
#include "platform/Clock.h"
#include "stores/results/AnswersFile.h"

namespace gaisan {

/// The most recent failures kept: a teacher reads them, and a share that fails every run must not
/// fill the disk with the story.
inline constexpr std::size_t kKeptAnswersFailures = 100;

/// Adds "YYYY-MM-DD HH:MM:SS what went wrong" to the log (UTF-8), keeping the newest
/// kKeptAnswersFailures lines. Gives up silently: a log that cannot be written either has nowhere
/// to report to, and the run must go on.
void logAnswersFailure(const std::filesystem::path& resultsFile, const LocalDateTime& when,
                       const std::string& what);

/// Adds "YYYY-MM-DD HH:MM:SS [backup] what went wrong" to the log, for a day's copy of an answers
/// file that was not taken although the answers were written; at most one such line a day, since
/// every append to the file tries the copy again and one cause fails them all. Gives up silently,
/// like logAnswersFailure.
void logAnswersBackupFailure(const std::filesystem::path& resultsFile, const LocalDateTime& when,
                             const std::string& what);

/// Logs each problem of an append of a run's answers as what it is: answers not written
/// (logAnswersFailure) or a day's copy not taken (logAnswersBackupFailure).
void logAnswersProblems(const std::filesystem::path& resultsFile, const LocalDateTime& when,
                        const AnswersAppendProblems& problems);

/// What the log holds, read once; nothing when there is no log.
struct LoggedAnswersProblems {
    /// The failures to write answers, oldest first; a log that cannot be read is one of them,
    /// saying so.
    std::vector<std::string> failures;
    /// The days' copies not taken, oldest first, as "YYYY-MM-DD HH:MM:SS what went wrong".
    std::vector<std::string> backupFailures;
};
LoggedAnswersProblems loggedAnswersProblems(const std::filesystem::path& resultsFile);

}  // namespace gaisan

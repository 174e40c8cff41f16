#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Clock.h"

namespace gaisan {

/// The most recent failures kept: a teacher reads them, and a share that fails every run must not
/// fill the disk with the story.
inline constexpr std::size_t kKeptAnswersFailures = 100;

/// "解答の記録の失敗.txt" beside the results file: one line per run whose answers could not be
/// written, for `gaisan-records check` to report. The run itself was recorded.
std::filesystem::path answersFailureLogOf(const std::filesystem::path& resultsFile);

/// Adds "YYYY-MM-DD HH:MM:SS what went wrong" to the log (UTF-8), keeping the newest
/// kKeptAnswersFailures lines. Gives up silently: a log that cannot be written either has nowhere
/// to report to, and the run must go on.
void logAnswersFailure(const std::filesystem::path& resultsFile, const LocalDateTime& when,
                       const std::string& what);

/// The logged failures, oldest first; none when there is no log.
std::vector<std::string> loggedAnswersFailures(const std::filesystem::path& resultsFile);

}  // namespace gaisan

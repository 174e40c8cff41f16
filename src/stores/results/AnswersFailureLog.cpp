#include "stores/results/AnswersFailureLog.h"

#include <functional>
#include <span>

#include "base/DateTexts.h"
#include "platform/AtomicFileWriter.h"
#include "platform/FileBytes.h"

namespace gaisan {
namespace {

/// A log larger than this was not written by the program: it is read as empty and started anew.
constexpr std::size_t kLargestLog = 1 << 20;
/// "YYYY-MM-DD HH:MM:SS " before each line's text.
constexpr std::size_t kStampSize = 20;
/// Marks a line of a day's copy not taken; the other lines tell of answers not written.
constexpr std::string_view kBackupMark = "[backup] ";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

/// The lines of the log, none when there is none; a log that cannot be read is one line saying so.
std::vector<std::string> loggedLines(const std::filesystem::path& resultsFile) {
    const std::filesystem::path log = answersFailureLogOf(resultsFile);
    std::error_code missing;
    if (!std::filesystem::exists(log, missing)) return {};
    const Expected<std::string> bytes = readFileBytes(log, kLargestLog);
    if (!bytes) return {bytes.error().text()};
    return linesOf(*bytes);
}

bool isBackupLine(const std::string& line) {
    return line.size() > kStampSize &&
           line.compare(kStampSize, kBackupMark.size(), kBackupMark) == 0;
}

/// Adds `what`, stamped with `when`, to the log, keeping the newest kKeptAnswersFailures lines;
/// `alreadyLogged` tells of a line that makes this one unneeded.
void logLine(
    const std::filesystem::path& resultsFile, const LocalDateTime& when, const std::string& what,
    const std::function<bool(const std::string& stamp, const std::string& line)>& alreadyLogged) {
    std::vector<std::string> lines;
    // No log yet, or one nobody can use: the new line starts it.
    if (const auto bytes = readFileBytes(answersFailureLogOf(resultsFile), kLargestLog)) {
        lines = linesOf(*bytes);
    }
    const std::string stamp =
        isoDateTimeText(when.date, static_cast<int>(when.secondsSinceMidnight)) + " ";
    for (const std::string& line : lines) {
        if (alreadyLogged && alreadyLogged(stamp, line)) return;
    }
    std::string line = stamp + what;
    for (char& c : line) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    lines.push_back(std::move(line));
    const std::size_t first =
        lines.size() > kKeptAnswersFailures ? lines.size() - kKeptAnswersFailures : 0;
    std::string text;
    for (std::size_t i = first; i < lines.size(); ++i) text += lines[i] + "\n";
    AtomicFileWriter writer(answersFailureLogOf(resultsFile));
    writer.write(std::as_bytes(std::span(text)));
    // Nowhere left to tell: the run is recorded, only without its answers.
    (void)writer.commit();
}

}  // namespace

LoggedAnswersProblems loggedAnswersProblems(const std::filesystem::path& resultsFile) {
    LoggedAnswersProblems logged;
    for (std::string& line : loggedLines(resultsFile)) {
        if (isBackupLine(line)) {
            logged.backupFailures.push_back(line.substr(0, kStampSize) +
                                            line.substr(kStampSize + kBackupMark.size()));
        } else {
            logged.failures.push_back(std::move(line));
        }
    }
    return logged;
}

void logAnswersFailure(const std::filesystem::path& resultsFile, const LocalDateTime& when,
                       const std::string& what) {
    logLine(resultsFile, when, what, nullptr);
}

void logAnswersBackupFailure(const std::filesystem::path& resultsFile, const LocalDateTime& when,
                             const std::string& what) {
    logLine(resultsFile, when, std::string(kBackupMark) + what,
            [](const std::string& stamp, const std::string& line) {
                constexpr std::size_t kDateSize = 10;  // YYYY-MM-DD
                return isBackupLine(line) && line.compare(0, kDateSize, stamp, 0, kDateSize) == 0;
            });
}

void logAnswersProblems(const std::filesystem::path& resultsFile, const LocalDateTime& when,
                        const AnswersAppendProblems& problems) {
    if (problems.answers) logAnswersFailure(resultsFile, when, problems.answers->text());
    if (problems.backup) logAnswersBackupFailure(resultsFile, when, problems.backup->text());
}

}  // namespace gaisan

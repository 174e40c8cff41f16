#include "answers/AnswersFailureLog.h"

#include <cstdio>
#include <span>

#include "platform/AtomicFileWriter.h"
#include "platform/DataFileError.h"
#include "platform/FileBytes.h"

namespace gaisan {
namespace {

/// A log larger than this was not written by the program: it is read as empty and started anew.
constexpr std::size_t kLargestLog = 1 << 20;

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

}  // namespace

std::filesystem::path answersFailureLogOf(const std::filesystem::path& resultsFile) {
    return resultsFile.parent_path() / "解答の記録の失敗.txt";
}

std::vector<std::string> loggedAnswersFailures(const std::filesystem::path& resultsFile) {
    const std::filesystem::path log = answersFailureLogOf(resultsFile);
    std::error_code missing;
    if (!std::filesystem::exists(log, missing)) return {};
    try {
        return linesOf(readFileBytes(log, kLargestLog));
    } catch (const DataFileError& failure) {
        return {failure.what()};
    }
}

void logAnswersFailure(const std::filesystem::path& resultsFile, const LocalDateTime& when,
                       const std::string& what) {
    std::vector<std::string> lines;
    try {
        lines = linesOf(readFileBytes(answersFailureLogOf(resultsFile), kLargestLog));
    } catch (const DataFileError&) {
        // No log yet, or one nobody can use: the new line starts it.
    }
    const auto seconds = static_cast<int>(when.secondsSinceMidnight);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d ", when.date.year,
                  when.date.month, when.date.day, seconds / 3600, seconds / 60 % 60, seconds % 60);
    std::string line = stamp + what;
    for (char& c : line) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    lines.push_back(std::move(line));
    const std::size_t first =
        lines.size() > kKeptAnswersFailures ? lines.size() - kKeptAnswersFailures : 0;
    std::string text;
    for (std::size_t i = first; i < lines.size(); ++i) text += lines[i] + "\n";
    try {
        AtomicFileWriter writer(answersFailureLogOf(resultsFile));
        writer.write(std::as_bytes(std::span(text)));
        writer.commit();
    } catch (const DataFileError&) {
        // Nowhere left to tell: the run is recorded, only without its answers.
    }
}

}  // namespace gaisan

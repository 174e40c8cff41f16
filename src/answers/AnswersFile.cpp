#include "answers/AnswersFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <span>

#include "platform/ClosesOnExit.h"
#include "platform/SharedFileMode.h"
#include "platform/SystemErrorText.h"
#include "records/DailyBackup.h"

namespace gaisan {
namespace {

constexpr std::string_view kFolderStem = "成績解答データ";
constexpr std::string_view kFileStem = "生徒";
constexpr std::string_view kFileExtension = ".dat";
/// Read in pieces of this size: a file of any size costs only time.
constexpr std::size_t kReadPiece = 1 << 20;
/// A school year begins in April.
constexpr int kFirstMonthOfYear = 4;

std::string dateText(const CivilDate& day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year, day.month, day.day);
    return text;
}

/// The number after `prefix` in `name`, up to `suffix`; nothing unless that is all the name holds.
std::optional<int> numberIn(std::string_view name, std::string_view prefix,
                            std::string_view suffix) {
    if (!name.starts_with(prefix) || !name.ends_with(suffix) ||
        name.size() <= prefix.size() + suffix.size()) {
        return std::nullopt;
    }
    const std::string_view digits =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    int value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return value;
}

/// Why `file` of `size` bytes, past kLargestCopiedAnswersFile, was not read through under the lock,
/// `what` saying what was left undone.
std::string tooLargeToCopy(const std::filesystem::path& file, std::uint64_t size,
                           const std::string& what) {
    return file.string() + ": " + std::to_string(size) + "バイトあり、上限の" +
           std::to_string(kLargestCopiedAnswersFile) + "バイトより大きいため、" + what +
           "（壊れて大きくなったおそれがあります）";
}

/// Copies the answers file open in `file` into the day's backup, unless the day has one already;
/// then removes the day folders of answers beyond the newest kKeptBackups.
std::optional<std::string> backUpAnswers(RecordFile& file, std::uint64_t length,
                                         const std::filesystem::path& resultsFile, int year,
                                         int student, const CivilDate& today) {
    const std::filesystem::path backup = answersBackupOf(resultsFile, year, student, today);
    std::error_code error;
    if (length == 0 || std::filesystem::exists(backup, error)) return std::nullopt;
    const std::filesystem::path answers = answersFileOf(resultsFile, year, student);
    if (length > kLargestCopiedAnswersFile) {
        return tooLargeToCopy(answers, length, "今日のバックアップを取りませんでした");
    }
    if (auto failure = createSharedFolder(backup.parent_path().parent_path())) return failure;
    const bool newDay = !std::filesystem::exists(backup.parent_path(), error);
    if (auto failure = createSharedFolder(backup.parent_path())) return failure;
    if (auto failure = copyOpenFile(file, answers, length, backup)) return failure;
    if (!newDay) return std::nullopt;
    // The day folders' names end in their date, so they sort by it.
    std::vector<std::filesystem::path> days;
    for (const auto& entry :
         std::filesystem::directory_iterator(backupFolderOf(resultsFile), error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory(error) && name.starts_with(kFolderStem))
            days.push_back(entry.path());
    }
    const auto byDate = [](const std::filesystem::path& a, const std::filesystem::path& b) {
        const std::string x = a.filename().string(), y = b.filename().string();
        return x.substr(x.size() - 10) > y.substr(y.size() - 10);
    };
    std::sort(days.begin(), days.end(), byDate);
    for (std::size_t i = kKeptBackups; i < days.size(); ++i) {
        if (std::filesystem::remove_all(days[i], error) == static_cast<std::uintmax_t>(-1)) {
            return days[i].string() + ": 古いバックアップを消せません（" +
                   systemErrorText(error.value()) + "）";
        }
    }
    return std::nullopt;
}

}  // namespace

int answersYearOf(double date) {
    const CivilDate day = dateOfSerial(static_cast<int>(date));
    return day.month < kFirstMonthOfYear ? day.year - 1 : day.year;
}

std::filesystem::path answersFolderOf(const std::filesystem::path& resultsFile, int year) {
    return resultsFile.parent_path() / (std::string(kFolderStem) + std::to_string(year));
}

std::filesystem::path answersFileOf(const std::filesystem::path& resultsFile, int year,
                                    int student) {
    char name[32];
    std::snprintf(name, sizeof name, "%04d", student);
    return answersFolderOf(resultsFile, year) /
           (std::string(kFileStem) + name + std::string(kFileExtension));
}

std::filesystem::path answersBackupOf(const std::filesystem::path& resultsFile, int year,
                                      int student, const CivilDate& day) {
    return backupFolderOf(resultsFile) /
           (std::string(kFolderStem) + std::to_string(year) + "-" + dateText(day)) /
           answersFileOf(resultsFile, year, student).filename();
}

AnswersAppendProblems appendRunAnswers(RecordFile& file, const std::filesystem::path& resultsFile,
                                       const RunAnswers& run, const CivilDate& today) {
    const int year = answersYearOf(run.run.date);
    const std::filesystem::path path = answersFileOf(resultsFile, year, run.run.student);
    const auto failure = [&](const std::string& what) {
        return AnswersAppendProblems{path.string() + ": " + what, std::nullopt};
    };
    if (auto problem = createSharedFolder(path.parent_path())) return {problem, std::nullopt};
    ClosesOnExit closes(file);
    if (auto error = file.open(path)) return failure(error->description);
    std::uint64_t oldLength = 0;
    if (auto error = file.length(oldLength)) return failure(error->description);
    const std::uint64_t position = oldLength / kAnswerSlotSize * kAnswerSlotSize;
    const std::vector<std::byte> block = encodeRunAnswers(run);
    if (position + block.size() > kAppendLockOffset) {
        return failure("ファイルが大きくなりすぎて、これ以上記録できません");
    }
    AnswersAppendProblems problems;
    problems.backup = backUpAnswers(file, oldLength, resultsFile, year, run.run.student, today);
    if (auto error = file.writeDurably(position, block)) {
        // Only a full disk makes it certain that the bytes past the old end are this write's.
        if (error->systemNumber == ENOSPC || error->systemNumber == EDQUOT) {
            if (auto cutBack = file.truncate(oldLength)) {
                problems.answers = path.string() + ": " + error->description +
                                   "（書きかけの解答を取り除けませんでした：" +
                                   cutBack->description + "）";
                return problems;
            }
        }
        problems.answers = path.string() + ": " + error->description;
    }
    return problems;
}

AnswersAppendProblems copyRunAnswers(RecordFile& file, const std::filesystem::path& resultsFile,
                                     const RunIdentity& from, const RunIdentity& to,
                                     const CivilDate& today) {
    if (from == to) return {};
    const std::filesystem::path path =
        answersFileOf(resultsFile, answersYearOf(from.date), from.student);
    std::error_code unknown;
    const std::uintmax_t size = std::filesystem::file_size(path, unknown);
    if (!unknown && size > kLargestCopiedAnswersFile) {
        return {tooLargeToCopy(path, size, "解答を移せませんでした"), std::nullopt};
    }
    std::optional<RunAnswers> found;
    const AnswersFileRead read = readAnswersFile(file, path, [&](const RunBlock& run) {
        if (run.run() == from) found = run.decoded();
    });
    if (read.error) return {read.error, std::nullopt};
    if (!found) return {};
    found->run = to;
    return appendRunAnswers(file, resultsFile, *found, today);
}

AnswersFileRead readAnswersFile(RecordFile& file, const std::filesystem::path& path,
                                const std::function<void(const RunBlock&)>& onRun) {
    AnswersFileRead read;
    std::error_code missing;
    if (!std::filesystem::exists(path, missing)) return read;
    ClosesOnExit closes(file);
    if (auto error = file.openForReading(path)) {
        read.error = path.string() + ": " + error->description;
        return read;
    }
    if (auto error = file.length(read.bytes)) {
        read.error = path.string() + ": " + error->description;
        return read;
    }
    RunAnswersScanner scanner([&](const RunBlock& run) {
        ++read.runs;
        onRun(run);
    });
    // A piece holds the unread end of the last one and the next kReadPiece bytes; a block is far
    // smaller than a piece, so the rest carried over never grows.
    std::vector<std::byte> piece;
    std::size_t carried = 0;
    for (std::uint64_t at = 0; at < read.bytes;) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(kReadPiece, read.bytes - at));
        piece.resize(carried + wanted);
        std::size_t bytesRead = 0;
        if (auto error = file.readAt(at, std::span(piece).subspan(carried, wanted), bytesRead)) {
            read.error = path.string() + ": " + error->description;
            break;
        }
        at += bytesRead;
        const bool ends = bytesRead < wanted || at >= read.bytes;
        piece.resize(carried + bytesRead);
        const std::size_t used = scanner.scan(piece, ends);
        piece.erase(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(used));
        carried = piece.size();
        if (ends) break;
    }
    read.bytesLeftOut = scanner.bytesLeftOut();
    return read;
}

std::vector<AnswersFileName> answersFilesOf(const std::filesystem::path& resultsFile) {
    std::vector<AnswersFileName> files;
    std::error_code error;
    for (const auto& folder :
         std::filesystem::directory_iterator(resultsFile.parent_path(), error)) {
        const std::optional<int> year =
            numberIn(folder.path().filename().string(), kFolderStem, "");
        if (!year || !folder.is_directory(error)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path(), error)) {
            const std::optional<int> student =
                numberIn(entry.path().filename().string(), kFileStem, kFileExtension);
            if (student && entry.is_regular_file(error)) {
                files.push_back({*year, *student, entry.path()});
            }
        }
    }
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        return std::pair(a.year, a.student) < std::pair(b.year, b.student);
    });
    return files;
}

}  // namespace gaisan

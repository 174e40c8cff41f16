#include "stores/results/AnswersFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <span>

#include "base/IndexedTables.h"
#include "platform/ClosesOnExit.h"
#include "platform/SharedFileMode.h"
#include "platform/SystemErrorText.h"
#include "stores/results/DailyBackup.h"

namespace gaisan {
namespace {

/// Read in pieces of this size: a file of any size costs only time.
constexpr std::size_t kReadPiece = 1 << 20;
/// A school year begins in April.
constexpr int kFirstMonthOfYear = 4;

/// The number a folder or file name holds after `prefix` and before `suffix`, when it is written
/// as the program writes it: exactly four digits. Anything else (a sign, more digits, a number
/// out of an int's range) is no name of the program's.
std::optional<int> fourDigitsIn(std::string_view name, std::string_view prefix,
                                std::string_view suffix) {
    if (!name.starts_with(prefix) || !name.ends_with(suffix) ||
        name.size() != prefix.size() + 4 + suffix.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : name.substr(prefix.size(), 4)) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

/// Why `file` of `size` bytes, past kLargestCopiedAnswersFile, was not read through under the lock,
/// `what` saying what was left undone.
Failure tooLargeToCopy(const std::filesystem::path& file, std::uint64_t size,
                       const std::string& what) {
    return {file, std::to_string(size) + "バイトあり、上限の" +
                      std::to_string(kLargestCopiedAnswersFile) + "バイトより大きいため、" + what +
                      "（壊れて大きくなったおそれがあります）"};
}

/// A folder that could not be made, told as one sentence that names it.
Failure folderNotMade(const Failure& failure) { return {{}, failure.text()}; }

/// The school year of an answers folder's name; the year is written without leading zeros.
std::optional<int> yearOfFolderName(std::string_view name) {
    const std::optional<int> year = fourDigitsIn(name, kAnswersFolderStem, "");
    if (!year || *year < 1000) return std::nullopt;
    return year;
}

/// The student of an answers file's name: one the roster's tables have a place for.
std::optional<int> studentOfFileName(std::string_view name) {
    const std::optional<int> student = fourDigitsIn(name, kAnswersFileStem, kAnswersFileExtension);
    if (!student || !isStudentSlot(*student)) return std::nullopt;
    return student;
}

/// Whether an answers file is at `path`, told from its status alone, so that neither a pipe nor a
/// device is ever opened: true for a regular file or a link to one, false when nothing is there,
/// a failure for anything else.
Expected<bool> answersFileIsThere(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::regular) return true;
    if (status.type() == std::filesystem::file_type::not_found) {
        std::error_code ignored;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ignored))) {
            return false;
        }
        // A link to nothing stands where a student's answers were.
        return Unexpected(Failure{path, "リンク先のファイルがありません"});
    }
    if (error) return Unexpected(Failure{path, systemErrorText(error.value())});
    return Unexpected(Failure{path, notRegularFileText()});
}

/// Copies the answers file open in `file` into the day's backup, unless the day has one already;
/// then removes the day folders of answers beyond the newest kKeptBackups.
Expected<void> backUpAnswers(RecordFile& file, std::uint64_t length,
                             const std::filesystem::path& resultsFile, int year, int student,
                             const CivilDate& today) {
    const std::filesystem::path backup = answersBackupOf(resultsFile, year, student, today);
    std::error_code error;
    if (length == 0 || std::filesystem::exists(backup, error)) return {};
    const std::filesystem::path answers = answersFileOf(resultsFile, year, student);
    if (length > kLargestCopiedAnswersFile) {
        return Unexpected(tooLargeToCopy(answers, length, "今日のバックアップを取りませんでした"));
    }
    if (auto made = createSharedFolder(backup.parent_path().parent_path()); !made) {
        return Unexpected(folderNotMade(made.error()));
    }
    const bool newDay = !std::filesystem::exists(backup.parent_path(), error);
    if (auto made = createSharedFolder(backup.parent_path()); !made) {
        return Unexpected(folderNotMade(made.error()));
    }
    if (auto copied = copyOpenFile(file, answers, length, backup); !copied) return copied;
    if (!newDay) return {};
    // The day folders' names end in their date, so they sort by it.
    std::vector<std::filesystem::path> days;
    for (const auto& entry :
         std::filesystem::directory_iterator(backupFolderOf(resultsFile), error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory(error) && name.starts_with(kAnswersFolderStem))
            days.push_back(entry.path());
    }
    const auto byDate = [](const std::filesystem::path& a, const std::filesystem::path& b) {
        const std::string x = a.filename().string(), y = b.filename().string();
        return x.substr(x.size() - 10) > y.substr(y.size() - 10);
    };
    std::sort(days.begin(), days.end(), byDate);
    for (std::size_t i = kKeptBackups; i < days.size(); ++i) {
        if (std::filesystem::remove_all(days[i], error) == static_cast<std::uintmax_t>(-1)) {
            return Unexpected(Failure{
                days[i], "古いバックアップを消せません（" + systemErrorText(error.value()) + "）"});
        }
    }
    return {};
}

/// Reads the answers file open in `file` through, as readAnswersFile.
Expected<AnswersFileRead> readOpenAnswersFile(RecordFile& file,
                                              const std::function<void(const RunBlock&)>& onRun) {
    AnswersFileRead read;
    const Expected<std::uint64_t> length = file.length();
    if (!length) return Unexpected(length.error());
    read.bytes = *length;
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
        const Expected<std::size_t> bytesRead =
            file.readAt(at, std::span(piece).subspan(carried, wanted));
        if (!bytesRead) return Unexpected(bytesRead.error());
        at += *bytesRead;
        const bool ends = *bytesRead < wanted || at >= read.bytes;
        piece.resize(carried + *bytesRead);
        const std::size_t used = scanner.scan(piece, ends);
        piece.erase(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(used));
        carried = piece.size();
        if (ends) break;
    }
    read.bytesLeftOut = scanner.bytesLeftOut();
    return read;
}

}  // namespace

int answersYearOf(double date) {
    const CivilDate day = dateOfSerial(static_cast<int>(date));
    return day.month < kFirstMonthOfYear ? day.year - 1 : day.year;
}

AnswersAppendProblems appendRunAnswers(RecordFile& file, const std::filesystem::path& resultsFile,
                                       const RunAnswers& run, const CivilDate& today) {
    const int year = answersYearOf(run.run.date);
    const std::filesystem::path path = answersFileOf(resultsFile, year, run.run.student);
    const auto notWritten = [&](const Failure& failure) {
        return AnswersAppendProblems{Failure{path, failure.problem, failure.error}, std::nullopt};
    };
    if (auto made = createSharedFolder(path.parent_path()); !made) {
        return {folderNotMade(made.error()), std::nullopt};
    }
    // Opening is already too much for a device in the file's place.
    if (auto there = answersFileIsThere(path); !there) return {there.error(), std::nullopt};
    ClosesOnExit closes(file);
    if (auto opened = file.open(path); !opened) return notWritten(opened.error());
    const Expected<std::uint64_t> oldLength = file.length();
    if (!oldLength) return notWritten(oldLength.error());
    const std::uint64_t position = *oldLength / kAnswerSlotSize * kAnswerSlotSize;
    const std::vector<std::byte> block = encodeRunAnswers(run);
    if (position + block.size() > kAppendLockOffset) {
        return notWritten({path, "ファイルが大きくなりすぎて、これ以上記録できません"});
    }
    AnswersAppendProblems problems;
    if (auto backedUp = backUpAnswers(file, *oldLength, resultsFile, year, run.run.student, today);
        !backedUp) {
        problems.backup = std::move(backedUp).error();
    }
    if (auto written = file.writeDurably(position, block); !written) {
        Failure failure = std::move(written).error();
        // Only a full disk makes it certain that the bytes past the old end are this write's.
        if (failure.error.systemNumber == ENOSPC || failure.error.systemNumber == EDQUOT) {
            if (auto cutBack = file.truncate(*oldLength); !cutBack) {
                failure.problem +=
                    "（書きかけの解答を取り除けませんでした：" + cutBack.error().problem + "）";
            }
        }
        problems.answers = notWritten(failure).answers;
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
    const Expected<AnswersFileRead> read = readAnswersFile(file, path, [&](const RunBlock& run) {
        if (run.run() == from) found = run.decoded();
    });
    if (!read) return {read.error(), std::nullopt};
    if (!found) return {};
    found->run = to;
    return appendRunAnswers(file, resultsFile, *found, today);
}

Expected<AnswersFileRead> readAnswersFile(RecordFile& file, const std::filesystem::path& path,
                                          const std::function<void(const RunBlock&)>& onRun) {
    const Expected<bool> there = answersFileIsThere(path);
    if (!there) return Unexpected(there.error());
    if (!*there) return AnswersFileRead{};
    return readListedAnswersFile(file, path, onRun);
}

Expected<AnswersFileRead> readListedAnswersFile(RecordFile& file, const std::filesystem::path& path,
                                                const std::function<void(const RunBlock&)>& onRun) {
    ClosesOnExit closes(file);
    if (auto opened = file.openForReading(path); !opened) {
        // Gone since it was listed: no runs, as for a file that was never there.
        if (opened.error().error.kind == FileErrorKind::NotFound) {
            return AnswersFileRead{};
        }
        return Unexpected(opened.error());
    }
    return readOpenAnswersFile(file, onRun);
}

Expected<void> answersFolderReadable(const std::filesystem::path& resultsFile, int year) {
    const std::filesystem::path folder = answersFolderOf(resultsFile, year);
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(folder, error);
    if (status.type() == std::filesystem::file_type::not_found) return {};
    if (error) return Unexpected(Failure{folder, systemErrorText(error.value())});
    if (status.type() != std::filesystem::file_type::directory) {
        return Unexpected(Failure{folder, systemErrorText(ENOTDIR)});
    }
    // A folder another user made theirs alone can be seen but not opened, nor can its files.
    const std::filesystem::directory_iterator opened(folder, error);
    if (error) return Unexpected(Failure{folder, systemErrorText(error.value())});
    return {};
}

AnswersListing answersFilesOf(const std::filesystem::path& resultsFile) {
    AnswersListing listing;
    const std::filesystem::path dataFolder =
        resultsFile.has_parent_path() ? resultsFile.parent_path() : ".";
    std::error_code error;
    for (const auto& folder : std::filesystem::directory_iterator(dataFolder, error)) {
        const std::string folderName = folder.path().filename().string();
        if (!folderName.starts_with(kAnswersFolderStem)) continue;
        const std::optional<int> year = yearOfFolderName(folderName);
        if (!year) {
            listing.strays.push_back(folder.path());
            continue;
        }
        if (auto readable = answersFolderReadable(resultsFile, *year); !readable) {
            listing.unreadableYears.push_back({*year, std::move(readable).error()});
            continue;
        }
        // Paths are made as the writer and the reader make them, so that each names a file alike.
        for (const auto& entry :
             std::filesystem::directory_iterator(answersFolderOf(resultsFile, *year), error)) {
            const std::optional<int> student = studentOfFileName(entry.path().filename().string());
            if (!student) {
                listing.strays.push_back(entry.path());
                continue;
            }
            AnswersFileName name{*year, *student, answersFileOf(resultsFile, *year, *student), {}};
            const Expected<bool> there = answersFileIsThere(name.path);
            if (!there) name.problem = there.error();
            // Gone since it was listed: another machine's teacher may be tidying up.
            if (!there || *there) listing.files.push_back(std::move(name));
        }
    }
    std::ranges::sort(listing.files, {}, [](const AnswersFileName& name) {
        return std::pair(name.year, name.student);
    });
    std::ranges::sort(listing.unreadableYears, {}, &UnreadableAnswersYear::year);
    std::ranges::sort(listing.strays);
    return listing;
}

void addNewProblems(std::vector<std::string>& problems, const std::vector<std::string>& more) {
    for (const std::string& problem : more) {
        if (std::ranges::find(problems, problem) == problems.end()) problems.push_back(problem);
    }
}

}  // namespace gaisan

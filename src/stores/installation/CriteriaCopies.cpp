#include "stores/installation/CriteriaCopies.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <span>
#include <tuple>

#include "platform/AtomicFileWriter.h"
#include "platform/FileBytes.h"
#include "platform/Numbers.h"
#include "platform/SharedFileMode.h"
#include "platform/SystemErrorText.h"

namespace gaisan {
namespace {

/// A criteria file is 36 short lines; anything this large is no criteria file.
constexpr std::size_t kLargestCriteriaFile = 1 << 20;
/// Saves within one second beyond this many are refused a copy rather than searched further.
constexpr int kMostCopiesInASecond = 99;
/// "2026-12-10-140512"
constexpr std::size_t kTimeLength = 17;

int wholeSeconds(const LocalDateTime& time) {
    return static_cast<int>(std::floor(time.secondsSinceMidnight));
}

/// The copy named `name`, when it is a name criteriaCopyFileOf gives.
std::optional<CriteriaCopy> copyNamed(const std::filesystem::path& criteriaFile,
                                      const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    const std::string stem = criteriaFile.stem().string() + "-";
    const std::string extension = criteriaFile.extension().string();
    if (name.size() < stem.size() + kTimeLength + extension.size() || !name.starts_with(stem) ||
        !name.ends_with(extension)) {
        return std::nullopt;
    }
    const std::string middle =
        name.substr(stem.size(), name.size() - stem.size() - extension.size());
    if (middle[4] != '-' || middle[7] != '-' || middle[10] != '-') return std::nullopt;
    const std::optional<int> year = digitsAt(middle, 0, 4);
    const std::optional<int> month = digitsAt(middle, 5, 2);
    const std::optional<int> day = digitsAt(middle, 8, 2);
    const std::optional<int> hour = digitsAt(middle, 11, 2);
    const std::optional<int> minute = digitsAt(middle, 13, 2);
    const std::optional<int> second = digitsAt(middle, 15, 2);
    int sequence = 1;
    if (middle.size() > kTimeLength) {
        if (middle[kTimeLength] != '-') return std::nullopt;
        const std::optional<int> later =
            digitsAt(middle, kTimeLength + 1, middle.size() - kTimeLength - 1);
        if (!later || *later < 2) return std::nullopt;
        sequence = *later;
    }
    if (!year || !month || !day || !hour || !minute || !second || *month < 1 || *month > 12 ||
        *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return CriteriaCopy{
        path, {{*year, *month, *day}, *hour * 3600.0 + *minute * 60 + *second}, sequence};
}

/// Takes the first free name for a copy made at `now` by creating it empty: on a shared folder
/// only one machine's create of a name succeeds, so two saves at once never write one copy.
Expected<std::filesystem::path> claimCopyName(const std::filesystem::path& criteriaFile,
                                              const LocalDateTime& now) {
    for (int sequence = 1; sequence <= kMostCopiesInASecond; ++sequence) {
        const std::filesystem::path name = criteriaCopyFileOf(criteriaFile, now, sequence);
        const int descriptor =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST) continue;
            return Unexpected(Failure{name, systemErrorText(errno)});
        }
        shareLikeItsFolder(descriptor, name);
        ::close(descriptor);
        return name;
    }
    return Unexpected(Failure{criteriaCopiesFolderOf(criteriaFile),
                              "同じ秒の控えが多すぎて名前を付けられません"});
}

/// Copies the file about to be replaced to the newest copy, and tells where; an empty path when
/// there is no file to copy.
Expected<std::filesystem::path> keepCopy(const std::filesystem::path& file,
                                         const LocalDateTime& now) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0 && errno == ENOENT) return std::filesystem::path();
    const Expected<std::string> old = readFileBytes(file, kLargestCriteriaFile);
    if (!old) return Unexpected(old.error());
    if (auto made = createSharedFolder(criteriaCopiesFolderOf(file)); !made) {
        return Unexpected(made.error());
    }
    const Expected<std::filesystem::path> claimed = claimCopyName(file, now);
    if (!claimed) return claimed;
    // Written beside the claimed name and renamed over it, so that a copy is whole or absent.
    AtomicFileWriter writer(*claimed);
    writer.write(std::as_bytes(std::span(*old)));
    if (auto written = writer.commit(); !written) {
        ::unlink(claimed->c_str());
        return Unexpected(written.error());
    }
    return claimed;
}

/// Removes all but the newest kKeptCriteriaCopies; the failure names the first copy that stayed.
Expected<void> removeOldCopies(const std::filesystem::path& file) {
    const std::vector<CriteriaCopy> copies = criteriaCopiesOf(file);
    std::optional<Failure> failure;
    for (std::size_t i = kKeptCriteriaCopies; i < copies.size(); ++i) {
        std::error_code error;
        if (!std::filesystem::remove(copies[i].file, error) && error && !failure) {
            failure = Failure{copies[i].file,
                              "古い控えを消せません（" + systemErrorText(error.value()) + "）"};
        }
    }
    if (failure) return Unexpected(std::move(*failure));
    return {};
}

Expected<CriteriaSaveOutcome> replaceKeepingCopy(const std::filesystem::path& file,
                                                 const std::string& bytes, const LocalDateTime& now,
                                                 WithoutCopy withoutCopy) {
    CriteriaSaveOutcome outcome;
    const Expected<std::filesystem::path> copy = keepCopy(file, now);
    if (!copy) {
        outcome.copyProblem = copy.error();
        if (withoutCopy == WithoutCopy::KeepOldFile) return outcome;
    }
    AtomicFileWriter writer(file);
    writer.write(std::as_bytes(std::span(bytes)));
    if (auto written = writer.commit(); !written) {
        // The file was not replaced, so the copy only repeats it.
        if (copy && !copy->empty()) ::unlink(copy->c_str());
        return Unexpected(written.error());
    }
    outcome.saved = true;
    if (auto removed = removeOldCopies(file); !removed && !outcome.copyProblem) {
        outcome.copyProblem = removed.error();
    }
    return outcome;
}

}  // namespace

std::vector<CriteriaCopy> criteriaCopiesOf(const std::filesystem::path& criteriaFile) {
    std::vector<CriteriaCopy> copies;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(criteriaCopiesFolderOf(criteriaFile), error)) {
        // An empty file is a name claimed by a save that never finished its copy.
        if (!entry.is_regular_file(error) || entry.file_size(error) == 0) continue;
        if (auto copy = copyNamed(criteriaFile, entry.path())) copies.push_back(std::move(*copy));
    }
    const auto age = [](const CriteriaCopy& copy) {
        return std::tuple(copy.madeAt.date.year, copy.madeAt.date.month, copy.madeAt.date.day,
                          copy.madeAt.secondsSinceMidnight, copy.sequence);
    };
    std::sort(copies.begin(), copies.end(),
              [&](const CriteriaCopy& a, const CriteriaCopy& b) { return age(a) > age(b); });
    return copies;
}

std::string criteriaCopyCaption(const CriteriaCopy& copy) {
    const int seconds = wholeSeconds(copy.madeAt);
    char time[16];
    std::snprintf(time, sizeof time, "%d:%02d", seconds / 3600, seconds / 60 % 60);
    return std::to_string(copy.madeAt.date.year) + "年" + std::to_string(copy.madeAt.date.month) +
           "月" + std::to_string(copy.madeAt.date.day) + "日 " + time + " まで使っていた設定";
}

Expected<CriteriaSaveOutcome> saveCriteriaKeepingCopy(const std::filesystem::path& file,
                                                      const std::vector<CriteriaLine>& lines,
                                                      int requiredLevels, const LocalDateTime& now,
                                                      WithoutCopy withoutCopy) {
    const Expected<std::string> bytes = criteriaFileBytes(file, lines, requiredLevels);
    if (!bytes) return Unexpected(bytes.error());
    return replaceKeepingCopy(file, *bytes, now, withoutCopy);
}

Expected<CriteriaSaveOutcome> restoreCriteriaCopy(const std::filesystem::path& file,
                                                  const std::filesystem::path& copy,
                                                  int requiredLevels, const LocalDateTime& now,
                                                  WithoutCopy withoutCopy) {
    const Expected<std::string> bytes = readFileBytes(copy, kLargestCriteriaFile);
    if (!bytes) return Unexpected(bytes.error());
    const Expected<std::vector<CriteriaLine>> lines = readCriteriaFile(copy);
    if (!lines) return Unexpected(lines.error());
    if (auto checked = checkCriteriaLines(copy, *lines, requiredLevels); !checked) {
        return Unexpected(checked.error());
    }
    return replaceKeepingCopy(file, *bytes, now, withoutCopy);
}

}  // namespace gaisan

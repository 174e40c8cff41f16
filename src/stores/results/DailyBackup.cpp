#include "stores/results/DailyBackup.h"

#include <algorithm>
#include <cstdio>
#include <span>

#include "platform/AtomicFileWriter.h"
#include "platform/ClosesOnExit.h"
#include "platform/PosixRecordFile.h"
#include "platform/SharedFileMode.h"
#include "platform/SystemErrorText.h"
#include "stores/results/ChangeHistory.h"

namespace gaisan {
namespace {

constexpr std::size_t kCopyChunk = 1 << 20;

bool isBackupName(const std::filesystem::path& resultsFile, const std::string& name) {
    const std::string stem = resultsFile.stem().string() + "-";
    const std::string extension = resultsFile.extension().string();
    constexpr std::size_t kDateLength = 10;  // YYYY-MM-DD
    return name.size() == stem.size() + kDateLength + extension.size() && name.starts_with(stem) &&
           name.ends_with(extension);
}

}  // namespace

std::vector<std::filesystem::path> backupsOf(const std::filesystem::path& resultsFile) {
    std::vector<std::filesystem::path> backups;
    std::error_code error;
    for (const auto& entry :
         std::filesystem::directory_iterator(backupFolderOf(resultsFile), error)) {
        if (entry.is_regular_file(error) &&
            isBackupName(resultsFile, entry.path().filename().string())) {
            backups.push_back(entry.path());
        }
    }
    std::sort(backups.rbegin(), backups.rend());
    return backups;
}

std::optional<std::string> copyOpenFile(RecordFile& file, const std::filesystem::path& source,
                                        std::uint64_t length, const std::filesystem::path& copy) {
    AtomicFileWriter writer(copy);
    std::vector<std::byte> chunk(
        static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunk, length)));
    for (std::uint64_t at = 0; at < length;) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), length - at));
        std::size_t bytesRead = 0;
        if (auto failure = file.readAt(at, std::span(chunk.data(), wanted), bytesRead)) {
            return source.string() + ": " + failure->description;
        }
        if (bytesRead == 0) break;
        writer.write(std::span(chunk.data(), bytesRead));
        at += bytesRead;
    }
    if (const Expected<void> written = writer.commit(); !written) return written.error().text();
    return std::nullopt;
}

std::optional<std::string> takeDailyBackup(RecordFile& file, std::uint64_t length,
                                           const std::filesystem::path& resultsFile,
                                           const CivilDate& today) {
    const std::filesystem::path backup = backupFileOf(resultsFile, today);
    std::error_code error;
    if (length == 0 || std::filesystem::exists(backup, error)) return std::nullopt;
    if (auto made = createSharedFolder(backup.parent_path()); !made) return made.error().text();
    if (auto failure = copyOpenFile(file, resultsFile, length, backup)) return failure;
    const std::vector<std::filesystem::path> backups = backupsOf(resultsFile);
    std::optional<std::string> failure;
    for (std::size_t i = kKeptBackups; i < backups.size(); ++i) {
        if (!std::filesystem::remove(backups[i], error) && error && !failure) {
            failure = backups[i].string() + ": 古いバックアップを消せません（" +
                      systemErrorText(error.value()) + "）";
        }
    }
    return failure;
}

std::optional<std::string> takeDailyBackupOfHistory(const std::filesystem::path& resultsFile,
                                                    const CivilDate& today) {
    const std::filesystem::path history = historyFileOf(resultsFile);
    std::error_code missing;
    // Only the day's first append opens the file: the others find the day's copy (or, for a
    // damaged history, look at its damage again, which costs two reads).
    if (!std::filesystem::exists(history, missing) ||
        std::filesystem::exists(backupFileOf(history, today), missing)) {
        return std::nullopt;
    }
    PosixRecordFile opened;
    ClosesOnExit closes(opened);
    std::uint64_t length = 0;
    if (auto error = opened.openForReading(history)) {
        return history.string() + ": " + error->description;
    }
    if (auto error = opened.length(length)) return history.string() + ": " + error->description;
    if (auto damage = visibleHistoryDamage(opened, length)) {
        return history.string() + ": 変更履歴が" + *damage +
               "ため、今日のバックアップを取りませんでした（前の日のバックアップは残してあります。"
               "gaisan-records history --set-aside-damaged で直せます）";
    }
    return takeDailyBackup(opened, length, history, today);
}

}  // namespace gaisan

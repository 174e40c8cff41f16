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

Expected<void> copyOpenFile(RecordFile& file, const std::filesystem::path& source,
                            std::uint64_t length, const std::filesystem::path& copy) {
    AtomicFileWriter writer(copy);
    std::vector<std::byte> chunk(
        static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunk, length)));
    for (std::uint64_t at = 0; at < length;) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), length - at));
        const Expected<std::size_t> bytesRead = file.readAt(at, std::span(chunk.data(), wanted));
        if (!bytesRead) return Unexpected(Failure{source, bytesRead.error().problem});
        if (*bytesRead == 0) break;
        writer.write(std::span(chunk.data(), *bytesRead));
        at += *bytesRead;
    }
    return writer.commit();
}

Expected<void> takeDailyBackup(RecordFile& file, std::uint64_t length,
                               const std::filesystem::path& resultsFile, const CivilDate& today) {
    const std::filesystem::path backup = backupFileOf(resultsFile, today);
    std::error_code error;
    if (length == 0 || std::filesystem::exists(backup, error)) return {};
    if (auto made = createSharedFolder(backup.parent_path()); !made) return made;
    if (auto copied = copyOpenFile(file, resultsFile, length, backup); !copied) return copied;
    const std::vector<std::filesystem::path> backups = backupsOf(resultsFile);
    Expected<void> removed;
    for (std::size_t i = kKeptBackups; i < backups.size(); ++i) {
        if (!std::filesystem::remove(backups[i], error) && error && removed) {
            removed = Unexpected(Failure{backups[i], "古いバックアップを消せません（" +
                                                         systemErrorText(error.value()) + "）"});
        }
    }
    return removed;
}

Expected<void> takeDailyBackupOfHistory(const std::filesystem::path& resultsFile,
                                        const CivilDate& today) {
    const std::filesystem::path history = historyFileOf(resultsFile);
    std::error_code missing;
    // Only the day's first append opens the file: the others find the day's copy (or, for a
    // damaged history, look at its damage again, which costs two reads).
    if (!std::filesystem::exists(history, missing) ||
        std::filesystem::exists(backupFileOf(history, today), missing)) {
        return {};
    }
    PosixRecordFile opened;
    ClosesOnExit closes(opened);
    if (auto open = opened.openForReading(history); !open) return open;
    const Expected<std::uint64_t> length = opened.length();
    if (!length) return Unexpected(length.error());
    if (auto damage = visibleHistoryDamage(opened, *length)) {
        return Unexpected(Failure{
            history, "変更履歴が" + *damage +
                         "ため、今日のバックアップを取りませんでした（前の日のバックアップは残して"
                         "あります。gaisan-records history --set-aside-damaged で直せます）"});
    }
    return takeDailyBackup(opened, *length, history, today);
}

}  // namespace gaisan

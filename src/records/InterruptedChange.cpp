#include "records/InterruptedChange.h"

#include <algorithm>
#include <vector>

#include "platform/DurableFile.h"
#include "platform/PosixRecordFile.h"
#include "records/ChangeHistory.h"
#include "records/DeleteJournal.h"

namespace gaisan {
namespace {

/// The write-back of `entry`, done again when its record still holds the old bytes; a record
/// holding anything else (the new bytes, or another file restored meanwhile) is left alone.
std::optional<FileError> finishWriteBack(RecordFile& lockedFile, const HistoryEntry& entry) {
    std::uint64_t length = 0;
    if (auto error = lockedFile.length(length)) return error;
    if (entry.recordNumber < 1 || entry.recordNumber > length / ResultRecord::kSize) {
        return std::nullopt;
    }
    const std::uint64_t offset = (entry.recordNumber - 1) * ResultRecord::kSize;
    RecordBytes current{};
    std::size_t bytesRead = 0;
    if (auto error = lockedFile.readAt(offset, current, bytesRead)) return error;
    if (bytesRead != current.size() || current != entry.before) return std::nullopt;
    return lockedFile.writeDurably(offset, entry.after);
}

/// Whether a whole delete journal lies beside the results file: the delete is then finished.
bool hasWholeJournal(const std::filesystem::path& resultsFile) {
    std::vector<std::byte> journal;
    return !readWholeFile(deleteJournalPathOf(resultsFile), journal) &&
           DeleteJournal::decode(journal).has_value();
}

}  // namespace

std::optional<FileError> finishInterruptedChange(RecordFile& lockedFile,
                                                 const std::filesystem::path& resultsFile,
                                                 InterruptedDelete& found) {
    const std::filesystem::path pendingFile = pendingChangeFileOf(resultsFile);
    std::error_code missing;
    if (!std::filesystem::exists(pendingFile, missing)) {
        return finishInterruptedDelete(lockedFile, resultsFile, found);
    }
    std::vector<std::byte> bytes;
    if (auto error = readWholeFile(pendingFile, bytes)) return error;
    std::optional<HistoryEntry> pending;
    if (bytes.size() == HistoryEntry::kSize) {
        pending = decodeHistoryEntry(
            std::span<const std::byte, HistoryEntry::kSize>(bytes.data(), HistoryEntry::kSize));
    }
    if (pending) {
        PosixRecordFile historyFile;
        const std::filesystem::path history = historyFileOf(resultsFile);
        std::optional<HistoryEntry> newest;
        if (auto error = newestHistoryEntry(historyFile, history, newest)) return error;
        const bool inHistory = newest == pending;
        if (pending->kind == HistoryEntry::Kind::Delete && !inHistory &&
            hasWholeJournal(resultsFile)) {
            if (auto error = appendHistoryEntry(historyFile, history, *pending)) return error;
        }
        if (pending->kind == HistoryEntry::Kind::WriteBack && inHistory) {
            if (auto error = finishWriteBack(lockedFile, *pending)) return error;
        }
    }
    if (auto error = finishInterruptedDelete(lockedFile, resultsFile, found)) return error;
    return removeFileDurably(pendingFile);
}

}  // namespace gaisan

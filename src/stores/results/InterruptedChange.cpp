#include "stores/results/InterruptedChange.h"

#include <cstring>

#include "platform/ClosesOnExit.h"
#include "platform/DurableFile.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/DeleteJournal.h"
#include "stores/results/InsertJournal.h"
#include "stores/results/InterruptedInsert.h"

namespace gaisan {
namespace {

/// The pending change, read through a descriptor that neither waits on a pipe in its place nor
/// reads more than an entry: `there` tells whether there is one at all, `pending` holds it when
/// it is a whole entry.
Expected<void> readPendingChange(const std::filesystem::path& file, bool& there,
                                 std::optional<HistoryEntry>& pending) {
    there = false;
    pending.reset();
    PosixRecordFile opened;
    ClosesOnExit closes(opened);
    if (auto open = opened.openForReading(file); !open) {
        if (open.error().error.kind == FileErrorKind::NotFound) return {};
        return open;
    }
    there = true;
    const Expected<std::uint64_t> length = opened.length();
    if (!length) return Unexpected(length.error());
    if (*length != HistoryEntry::kSize) return {};
    HistoryBytes bytes{};
    const Expected<std::size_t> bytesRead = opened.readAt(0, bytes);
    if (!bytesRead) return Unexpected(bytesRead.error());
    if (*bytesRead == bytes.size()) pending = decodeHistoryEntry(bytes);
    return {};
}

/// Whether `journal` is the journal of the delete `entry` tells of.
bool describes(const DeleteJournal& journal, const HistoryEntry& entry) {
    return entry.kind == HistoryEntry::Kind::Delete && journal.recordNumber == entry.recordNumber &&
           journal.recordsBefore >= entry.recordsBefore &&
           std::memcmp(journal.oldRecord(entry.recordNumber).data(), entry.before.data(),
                       ResultRecord::kSize) == 0;
}

/// The write-back of `entry`, done again while its record holds the old bytes or a mix of old
/// and new ones (a write cut at a page boundary); a record holding anything else (the new bytes,
/// or another file restored meanwhile) is left alone.
Expected<void> finishWriteBack(RecordFile& lockedFile, const HistoryEntry& entry) {
    const Expected<std::uint64_t> length = lockedFile.length();
    if (!length) return Unexpected(length.error());
    if (entry.recordNumber < 1 || entry.recordNumber > *length / ResultRecord::kSize) return {};
    const std::uint64_t offset = (entry.recordNumber - 1) * ResultRecord::kSize;
    RecordBytes current{};
    const Expected<std::size_t> bytesRead = lockedFile.readAt(offset, current);
    if (!bytesRead) return Unexpected(bytesRead.error());
    if (*bytesRead != current.size() || current == entry.after) return {};
    for (std::size_t i = 0; i < current.size(); ++i) {
        if (current[i] != entry.before[i] && current[i] != entry.after[i]) return {};
    }
    return lockedFile.writeDurably(offset, entry.after);
}

}  // namespace

Expected<void> recoverInterruptedChange(RecordFile& lockedFile,
                                        const std::filesystem::path& resultsFile,
                                        InterruptedMove& found) {
    const std::filesystem::path pendingFile = pendingChangeFileOf(resultsFile);
    bool pendingThere = false;
    std::optional<HistoryEntry> pending;
    if (auto read = readPendingChange(pendingFile, pendingThere, pending); !read) return read;
    // An older version cannot read a put-back's pending change and removes it as damage, leaving
    // the journal. The put-back's moves begin only once its entry is in the history, so the
    // newest entry is the change such a journal belongs to, when it describes it at all.
    std::error_code missing;
    const bool journalWithoutItsChange =
        !pending && std::filesystem::exists(insertJournalPathOf(resultsFile), missing);
    PosixRecordFile historyFile;
    const std::filesystem::path history = historyFileOf(resultsFile);
    std::optional<HistoryEntry> newest;
    if (pending || journalWithoutItsChange) {
        Expected<std::optional<HistoryEntry>> read = newestHistoryEntry(historyFile, history);
        // Whether the entry is there cannot be told: the change waits, journal and all, for a
        // writer that can read the history. Appends go on meanwhile; a delete or put-back
        // finished later moves what they added.
        if (!read) return {};
        newest = std::move(*read);
    }
    const std::optional<HistoryEntry>& putBack = pending ? pending : newest;
    if (!pendingThere) {
        if (auto finished = recoverInterruptedDelete(lockedFile, resultsFile, found); !finished) {
            return finished;
        }
        return recoverInterruptedInsert(lockedFile, resultsFile, found, putBack, nullptr);
    }

    const bool inHistory = pending && newest == pending;
    // A delete or a put-back is finished only with its entry: appended, when it is not there
    // yet, once the journal is known to be this change's and to describe the file.
    bool historyFailed = false;
    const auto recordChange = [&](bool isThePendingChange) -> Expected<void> {
        if (!isThePendingChange || inHistory) return {};
        Expected<void> appended = appendHistoryEntry(historyFile, history, *pending);
        historyFailed = !appended;
        return appended;
    };
    Expected<void> finished =
        recoverInterruptedDelete(lockedFile, resultsFile, found, [&](const DeleteJournal& journal) {
            return recordChange(pending && describes(journal, *pending));
        });
    if (finished) {
        // Only the journal of the put-back `putBack` names reaches this: its entry is made sure
        // of when it is the pending change, and is the newest entry already when it is not.
        finished = recoverInterruptedInsert(
            lockedFile, resultsFile, found, putBack,
            [&](const InsertJournal&) { return recordChange(pending.has_value()); });
    }
    if (!finished) {
        // A history that cannot be written leaves the change for a later writer, as above.
        if (historyFailed) return {};
        return finished;
    }
    // After any delete is finished, so that a record another program's delete left half moved is
    // never taken for this write-back's.
    if (pending && pending->kind == HistoryEntry::Kind::WriteBack && inHistory) {
        if (auto written = finishWriteBack(lockedFile, *pending); !written) return written;
    }
    return removeFileDurably(pendingFile);
}

}  // namespace gaisan

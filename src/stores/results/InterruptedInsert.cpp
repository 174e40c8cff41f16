#include "stores/results/InterruptedInsert.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/DurableFile.h"
#include "stores/results/RecordMoves.h"

namespace gaisan {
namespace {

/// Whether record R+1, read as `now`, is the put-back's own: the last record moved up, or part of
/// it where a power cut left the file grown but not written. Anything else was appended there by
/// a writer that did not see the journal.
bool isMovedLast(std::span<const std::byte> now, const InsertJournal& journal) {
    static const RecordBytes kZero{};
    return now.size() == ResultRecord::kSize &&
           eachByteOneOf(now.data(), kZero.data(),
                         journal.finalRecord(journal.recordsBefore + 1).data());
}

/// How records N..R+1 of the file compare with what the journal says they were and become.
Expected<void> compareWithJournal(RecordFile& file, const InsertJournal& journal,
                                  std::uint64_t records, MoveComparison& comparison) {
    const std::uint64_t last = journal.recordsBefore;
    if (auto compared = compareWithChange(
            file, journal.recordNumber, last,
            [&](std::uint64_t n) { return journal.oldRecord(n).data(); },
            [&](std::uint64_t n) { return journal.finalRecord(n).data(); }, comparison);
        !compared) {
        return compared;
    }
    // Record R+1 had no value before; until the file has grown the change is not done.
    if (records <= last) {
        comparison.allAfter = false;
        return {};
    }
    std::vector<std::byte> grown;
    if (auto read = readRecordsAt(file, last + 1, 1, grown); !read) return read;
    comparison.allAfter =
        comparison.allAfter && grown.size() == ResultRecord::kSize &&
        std::memcmp(grown.data(), journal.finalRecord(last + 1).data(), ResultRecord::kSize) == 0;
    return {};
}

/// Whether `journal` is the journal of the put-back `entry` tells of.
bool describes(const InsertJournal& journal, const HistoryEntry& entry) {
    return entry.kind == HistoryEntry::Kind::PutBack &&
           journal.recordNumber == entry.recordNumber &&
           journal.recordsBefore >= entry.recordsBefore && journal.record == entry.after;
}

}  // namespace

Expected<void> completeInsert(RecordFile& lockedFile, const std::filesystem::path& resultsFile,
                              const InsertJournal& journal) {
    const Expected<std::uint64_t> length = lockedFile.length();
    if (!length) return Unexpected(length.error());
    const std::uint64_t records = *length / ResultRecord::kSize;
    InsertJournal covering = journal;
    std::vector<std::byte> next;
    if (records > journal.recordsBefore) {
        if (auto read = readRecordsAt(lockedFile, journal.recordsBefore + 1, 1, next); !read) {
            return read;
        }
    }
    if (records > journal.recordsBefore && !isMovedLast(next, journal)) {
        if (auto taken =
                takeInAppended(lockedFile, records, covering, insertJournalPathOf(resultsFile));
            !taken) {
            return taken;
        }
    }
    if (auto moved = writeRecordsAt(lockedFile, covering.recordNumber + 1, covering.oldRecords);
        !moved) {
        return moved;
    }
    if (auto written = lockedFile.writeDurably((covering.recordNumber - 1) * ResultRecord::kSize,
                                               covering.record);
        !written) {
        return written;
    }
    return removeFileDurably(insertJournalPathOf(resultsFile));
}

Expected<void> recoverInterruptedInsert(RecordFile& lockedFile,
                                        const std::filesystem::path& resultsFile,
                                        InterruptedMove& found,
                                        const std::optional<HistoryEntry>& change,
                                        const BeforeRecoveringInsert& beforeFinishing) {
    using Finding = InterruptedMove::Finding;
    const std::filesystem::path journalPath = insertJournalPathOf(resultsFile);
    Expected<std::vector<std::byte>> bytes = readWholeFile(journalPath);
    if (!bytes) {
        if (bytes.error().error.kind == FileErrorKind::NotFound) return {};
        return Unexpected(std::move(bytes).error());
    }
    found = {};
    found.change = InterruptedMove::Change::PutBack;
    const std::optional<InsertJournal> journal = InsertJournal::decode(*bytes);
    *bytes = {};
    if (!journal) {
        // A journal takes its name only once whole and synced, before anything moves.
        found.finding = Finding::NothingMoved;
        return removeFileDurably(journalPath);
    }
    found.recordNumber = journal->recordNumber;

    const Expected<std::uint64_t> length = lockedFile.length();
    if (!length) return Unexpected(length.error());
    const std::uint64_t records = *length / ResultRecord::kSize;
    // A journal that is not the change's, or a file shorter than before the put-back began, is
    // not what the journal was written for.
    MoveComparison comparison{false, false};
    if (change && describes(*journal, *change) && records >= journal->recordsBefore) {
        comparison = {};
        if (auto compared = compareWithJournal(lockedFile, *journal, records, comparison);
            !compared) {
            return compared;
        }
    }
    if (comparison.beforeOrAfter && beforeFinishing) {
        if (auto ready = beforeFinishing(*journal); !ready) return ready;
    }
    if (comparison.allAfter) {
        found.finding = Finding::AlreadyComplete;
        return removeFileDurably(journalPath);
    }
    if (comparison.beforeOrAfter) {
        found.finding = Finding::Completed;
        return completeInsert(lockedFile, resultsFile, *journal);
    }
    found.finding = Finding::NotMatching;
    return removeFileDurably(journalPath);
}

}  // namespace gaisan

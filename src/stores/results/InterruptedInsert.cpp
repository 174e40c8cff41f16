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
std::optional<FileError> compareWithJournal(RecordFile& file, const InsertJournal& journal,
                                            std::uint64_t records, MoveComparison& comparison) {
    const std::uint64_t last = journal.recordsBefore;
    if (auto error = compareWithChange(
            file, journal.recordNumber, last,
            [&](std::uint64_t n) { return journal.oldRecord(n).data(); },
            [&](std::uint64_t n) { return journal.finalRecord(n).data(); }, comparison)) {
        return error;
    }
    // Record R+1 had no value before; until the file has grown the change is not done.
    if (records <= last) {
        comparison.allAfter = false;
        return std::nullopt;
    }
    std::vector<std::byte> grown;
    if (auto error = readRecordsAt(file, last + 1, 1, grown)) return error;
    comparison.allAfter =
        comparison.allAfter && grown.size() == ResultRecord::kSize &&
        std::memcmp(grown.data(), journal.finalRecord(last + 1).data(), ResultRecord::kSize) == 0;
    return std::nullopt;
}

/// Whether `journal` is the journal of the put-back `entry` tells of.
bool describes(const InsertJournal& journal, const HistoryEntry& entry) {
    return entry.kind == HistoryEntry::Kind::PutBack &&
           journal.recordNumber == entry.recordNumber &&
           journal.recordsBefore >= entry.recordsBefore && journal.record == entry.after;
}

}  // namespace

std::optional<FileError> completeInsert(RecordFile& lockedFile,
                                        const std::filesystem::path& resultsFile,
                                        const InsertJournal& journal) {
    std::uint64_t length = 0;
    if (auto error = lockedFile.length(length)) return error;
    const std::uint64_t records = length / ResultRecord::kSize;
    InsertJournal covering = journal;
    std::vector<std::byte> next;
    if (records > journal.recordsBefore) {
        if (auto error = readRecordsAt(lockedFile, journal.recordsBefore + 1, 1, next))
            return error;
    }
    if (records > journal.recordsBefore && !isMovedLast(next, journal)) {
        if (auto error =
                takeInAppended(lockedFile, records, covering, insertJournalPathOf(resultsFile))) {
            return error;
        }
    }
    if (auto error = writeRecordsAt(lockedFile, covering.recordNumber + 1, covering.oldRecords)) {
        return error;
    }
    if (auto error = lockedFile.writeDurably((covering.recordNumber - 1) * ResultRecord::kSize,
                                             covering.record)) {
        return error;
    }
    return removeFileDurably(insertJournalPathOf(resultsFile));
}

std::optional<FileError> finishInterruptedInsert(RecordFile& lockedFile,
                                                 const std::filesystem::path& resultsFile,
                                                 InterruptedDelete& found,
                                                 const std::optional<HistoryEntry>& change,
                                                 const BeforeFinishingInsert& beforeFinishing) {
    using Finding = InterruptedDelete::Finding;
    const std::filesystem::path journalPath = insertJournalPathOf(resultsFile);
    std::vector<std::byte> bytes;
    if (auto error = readWholeFile(journalPath, bytes)) {
        if (error->kind == FileErrorKind::NotFound) return std::nullopt;
        return error;
    }
    found = {};
    found.change = InterruptedDelete::Change::PutBack;
    const std::optional<InsertJournal> journal = InsertJournal::decode(bytes);
    bytes = {};
    if (!journal) {
        // A journal takes its name only once whole and synced, before anything moves.
        found.finding = Finding::NothingMoved;
        return removeFileDurably(journalPath);
    }
    found.recordNumber = journal->recordNumber;

    std::uint64_t length = 0;
    if (auto error = lockedFile.length(length)) return error;
    const std::uint64_t records = length / ResultRecord::kSize;
    // A journal that is not the change's, or a file shorter than before the put-back began, is
    // not what the journal was written for.
    MoveComparison comparison{false, false};
    if (change && describes(*journal, *change) && records >= journal->recordsBefore) {
        comparison = {};
        if (auto error = compareWithJournal(lockedFile, *journal, records, comparison)) {
            return error;
        }
    }
    if (comparison.beforeOrAfter && beforeFinishing) {
        if (auto error = beforeFinishing(*journal)) return error;
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

#include "stores/results/InterruptedDelete.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/DurableFile.h"
#include "stores/results/RecordMoves.h"

namespace gaisan {
namespace {

/// Writes the journal's later records one place down, cuts the file to R-1 records and removes
/// the journal.
Expected<void> moveDown(RecordFile& lockedFile, const std::filesystem::path& resultsFile,
                        const DeleteJournal& journal) {
    const std::span<const std::byte> later =
        std::span(journal.oldRecords).subspan(ResultRecord::kSize);
    if (auto moved = writeRecordsAt(lockedFile, journal.recordNumber, later); !moved) return moved;
    if (auto cut = lockedFile.truncate((journal.recordsBefore - 1) * ResultRecord::kSize); !cut) {
        return cut;
    }
    return removeFileDurably(deleteJournalPathOf(resultsFile));
}

/// Renames someone else's file out of the journal's way, to the first free name of
/// "NAME.kept", "NAME.kept2", ...; the rename is made durable like any step of a delete.
Expected<void> setAside(const std::filesystem::path& file, std::filesystem::path& setAsideAs) {
    for (int attempt = 1; attempt <= 99; ++attempt) {
        std::filesystem::path candidate = file;
        candidate += attempt == 1 ? ".kept" : ".kept" + std::to_string(attempt);
        std::error_code ignored;
        if (std::filesystem::exists(candidate, ignored)) continue;
        setAsideAs = candidate;
        return renameDurably(file, candidate);
    }
    return Unexpected(fileFailure(
        file, FileError{FileErrorKind::Other, 58, 0,
                        file.filename().string() +
                            " の名前を変えて残そうとしましたが、空いている名前がありません"}));
}

}  // namespace

Expected<void> completeDelete(RecordFile& lockedFile, const std::filesystem::path& resultsFile,
                              const DeleteJournal& journal) {
    const Expected<std::uint64_t> length = lockedFile.length();
    if (!length) return Unexpected(length.error());
    const std::uint64_t records = *length / ResultRecord::kSize;
    if (records <= journal.recordsBefore) return moveDown(lockedFile, resultsFile, journal);
    DeleteJournal covering = journal;
    if (auto taken =
            takeInAppended(lockedFile, records, covering, deleteJournalPathOf(resultsFile));
        !taken) {
        return taken;
    }
    return moveDown(lockedFile, resultsFile, covering);
}

Expected<void> recoverInterruptedDelete(RecordFile& lockedFile,
                                        const std::filesystem::path& resultsFile,
                                        InterruptedMove& found,
                                        const BeforeRecoveringDelete& beforeFinishing) {
    using Finding = InterruptedMove::Finding;
    found = {};
    const std::filesystem::path journalPath = deleteJournalPathOf(resultsFile);
    Expected<std::vector<std::byte>> bytes = readWholeFile(journalPath);
    if (!bytes) {
        if (bytes.error().error.kind == FileErrorKind::NotFound) return {};
        return Unexpected(std::move(bytes).error());
    }
    if (!DeleteJournal::looksLikeJournal(*bytes)) {
        found.finding = Finding::OtherFileSetAside;
        return setAside(journalPath, found.setAsideAs);
    }
    const std::optional<DeleteJournal> journal = DeleteJournal::decode(*bytes);
    *bytes = {};
    if (!journal) {
        // A journal takes its name only once whole and synced, before anything moves: one that
        // is not whole was never complete, so nothing moved.
        found.finding = Finding::NothingMoved;
        return removeFileDurably(journalPath);
    }
    found.recordNumber = journal->recordNumber;

    const Expected<std::uint64_t> length = lockedFile.length();
    if (!length) return Unexpected(length.error());
    const std::uint64_t records = *length / ResultRecord::kSize;
    const std::uint64_t last = journal->recordsBefore;
    // The delete never writes record R; while it still holds its old content the file has not
    // been cut yet.
    bool lastUntouched = false;
    if (records >= last) {
        std::vector<std::byte> record;
        if (auto read = readRecordsAt(lockedFile, last, 1, record); !read) return read;
        lastUntouched =
            record.size() == ResultRecord::kSize &&
            std::memcmp(record.data(), journal->oldRecord(last).data(), ResultRecord::kSize) == 0;
    }
    // Records N..R-1 each take the record after them.
    MoveComparison comparison{false, false};
    if (records + 1 >= last) {
        comparison = {};
        if (auto compared = compareWithChange(
                lockedFile, journal->recordNumber, last - 1,
                [&](std::uint64_t n) { return journal->oldRecord(n).data(); },
                [&](std::uint64_t n) { return journal->oldRecord(n + 1).data(); }, comparison);
            !compared) {
            return compared;
        }
    }
    const bool finishing = lastUntouched && comparison.beforeOrAfter;
    if ((finishing || comparison.allAfter) && beforeFinishing) {
        if (auto ready = beforeFinishing(*journal); !ready) return ready;
    }
    if (finishing) {
        found.finding = Finding::Completed;
        return completeDelete(lockedFile, resultsFile, *journal);
    }
    found.finding = comparison.allAfter ? Finding::AlreadyComplete : Finding::NotMatching;
    return removeFileDurably(journalPath);
}

}  // namespace gaisan

#include "records/InterruptedDelete.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/DurableFile.h"

namespace gaisan {
namespace {

/// Records moved per write; each piece is synced before the next, which bounds the memory a
/// delete from a large file needs beyond its journal.
constexpr std::uint64_t kRecordsPerPiece = 16384;

std::optional<FileError> readRecords(RecordFile& file, std::uint64_t first, std::uint64_t count,
                                     std::vector<std::byte>& into) {
    into.resize(count * ResultRecord::kSize);
    std::size_t bytesRead = 0;
    if (auto error = file.readAt((first - 1) * ResultRecord::kSize, into, bytesRead)) return error;
    into.resize(bytesRead / ResultRecord::kSize * ResultRecord::kSize);
    return std::nullopt;
}

/// How the records at N..R-1 of the file compare with the journal's old records.
struct Comparison {
    bool allMoved = true;    ///< every one holds the record after it: the moves are done
    bool oldOrMoved = true;  ///< every one holds its old record or the one after it
};

std::optional<FileError> compareMoved(RecordFile& file, const DeleteJournal& journal,
                                      Comparison& comparison) {
    const std::uint64_t last = journal.recordsBefore - 1;
    std::vector<std::byte> piece;
    for (std::uint64_t first = journal.recordNumber; first <= last; first += kRecordsPerPiece) {
        const std::uint64_t count = std::min(kRecordsPerPiece, last - first + 1);
        if (auto error = readRecords(file, first, count, piece)) return error;
        if (piece.size() != count * ResultRecord::kSize) {
            comparison = {false, false};
            return std::nullopt;
        }
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::byte* now = piece.data() + i * ResultRecord::kSize;
            const std::uint64_t n = first + i;
            const bool moved =
                std::memcmp(now, journal.oldRecord(n + 1).data(), ResultRecord::kSize) == 0;
            const bool old =
                std::memcmp(now, journal.oldRecord(n).data(), ResultRecord::kSize) == 0;
            comparison.allMoved = comparison.allMoved && moved;
            comparison.oldOrMoved = comparison.oldOrMoved && (moved || old);
        }
    }
    return std::nullopt;
}

/// Renames someone else's file out of the journal's way, to the first free name of
/// "NAME.kept", "NAME.kept2", ...; the rename is made durable like any step of a delete.
std::optional<FileError> setAside(const std::filesystem::path& file,
                                  std::filesystem::path& setAsideAs) {
    for (int attempt = 1; attempt <= 99; ++attempt) {
        std::filesystem::path candidate = file;
        candidate += attempt == 1 ? ".kept" : ".kept" + std::to_string(attempt);
        std::error_code ignored;
        if (std::filesystem::exists(candidate, ignored)) continue;
        setAsideAs = candidate;
        return renameDurably(file, candidate);
    }
    return FileError{
        FileErrorKind::Other, 58, 0,
        file.filename().string() + " の名前を変えて残そうとしましたが、空いている名前がありません"};
}

}  // namespace

std::string InterruptedDelete::sentence() const {
    const std::string record = "記録" + std::to_string(recordNumber);
    switch (finding) {
        case Finding::None:
            return {};
        case Finding::NothingMoved:
            return "途中で止まった記録の消去が見つかりました。まだ何も動かしていなかったので、"
                   "ファイルは元のままです（その記録は消えていません）。";
        case Finding::Completed:
            return "途中で止まった" + record + "の消去が見つかり、最後まで済ませました。";
        case Finding::AlreadyComplete:
            return "途中で止まった" + record +
                   "の消去が見つかりましたが、消去は済んでいました。"
                   "残っていた控えを片づけました。";
        case Finding::OtherFileSetAside:
            return "消去の控えの名前のファイルがありましたが、控えではなかったので「" +
                   setAsideAs.filename().string() + "」と名前を変えて残しました。";
        case Finding::NotMatching:
            return "途中で止まった" + record +
                   "の消去の控えが見つかりましたが、今のファイルと"
                   "合わないため、ファイルには手を付けずに控えを片づけました。";
    }
    return {};
}

std::optional<FileError> writeRecordsAt(RecordFile& file, std::uint64_t first,
                                        std::span<const std::byte> records) {
    const std::size_t pieceBytes = kRecordsPerPiece * ResultRecord::kSize;
    for (std::size_t at = 0; at < records.size(); at += pieceBytes) {
        const std::size_t size = std::min(pieceBytes, records.size() - at);
        if (auto error = file.writeDurably((first - 1) * ResultRecord::kSize + at,
                                           records.subspan(at, size))) {
            return error;
        }
    }
    return std::nullopt;
}

std::optional<FileError> completeDelete(RecordFile& lockedFile,
                                        const std::filesystem::path& resultsFile,
                                        const DeleteJournal& journal) {
    std::uint64_t length = 0;
    if (auto error = lockedFile.length(length)) return error;
    const std::uint64_t records = std::max(length / ResultRecord::kSize, journal.recordsBefore);
    const std::span<const std::byte> later =
        std::span(journal.oldRecords).subspan(ResultRecord::kSize);
    if (auto error = writeRecordsAt(lockedFile, journal.recordNumber, later)) return error;
    std::vector<std::byte> piece;
    for (std::uint64_t first = journal.recordsBefore + 1; first <= records;
         first += kRecordsPerPiece) {
        const std::uint64_t count = std::min(kRecordsPerPiece, records - first + 1);
        if (auto error = readRecords(lockedFile, first, count, piece)) return error;
        if (auto error = writeRecordsAt(lockedFile, first - 1, piece)) return error;
    }
    if (auto error = lockedFile.truncate((records - 1) * ResultRecord::kSize)) return error;
    return removeFileDurably(deleteJournalPathOf(resultsFile));
}

std::optional<FileError> finishInterruptedDelete(RecordFile& lockedFile,
                                                 const std::filesystem::path& resultsFile,
                                                 InterruptedDelete& found) {
    using Finding = InterruptedDelete::Finding;
    found = {};
    const std::filesystem::path journalPath = deleteJournalPathOf(resultsFile);
    std::vector<std::byte> bytes;
    if (auto error = readWholeFile(journalPath, bytes)) {
        if (error->kind == FileErrorKind::NotFound) return std::nullopt;
        return error;
    }
    if (!DeleteJournal::looksLikeJournal(bytes)) {
        found.finding = Finding::OtherFileSetAside;
        return setAside(journalPath, found.setAsideAs);
    }
    const std::optional<DeleteJournal> journal = DeleteJournal::decode(bytes);
    bytes = {};
    if (!journal) {
        // The journal is synced before anything moves, so one cut short means nothing moved.
        found.finding = Finding::NothingMoved;
        return removeFileDurably(journalPath);
    }
    found.recordNumber = journal->recordNumber;

    std::uint64_t length = 0;
    if (auto error = lockedFile.length(length)) return error;
    const std::uint64_t records = length / ResultRecord::kSize;
    const std::uint64_t last = journal->recordsBefore;
    // The delete never writes record R; while it still holds its old content the file has not
    // been cut yet.
    bool lastUntouched = false;
    if (records >= last) {
        std::vector<std::byte> record;
        if (auto error = readRecords(lockedFile, last, 1, record)) return error;
        lastUntouched =
            record.size() == ResultRecord::kSize &&
            std::memcmp(record.data(), journal->oldRecord(last).data(), ResultRecord::kSize) == 0;
    }
    Comparison comparison;
    if (records + 1 >= last) {
        if (auto error = compareMoved(lockedFile, *journal, comparison)) return error;
    } else {
        comparison = {false, false};
    }
    if (lastUntouched && comparison.oldOrMoved) {
        found.finding = Finding::Completed;
        return completeDelete(lockedFile, resultsFile, *journal);
    }
    found.finding = comparison.allMoved ? Finding::AlreadyComplete : Finding::NotMatching;
    return removeFileDurably(journalPath);
}

}  // namespace gaisan

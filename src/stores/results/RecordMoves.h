#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "base/ResultRecord.h"
#include "platform/DurableFile.h"
#include "platform/RecordFile.h"

namespace gaisan {

/// Records read or written at a time when a delete or a put-back moves them: each piece is
/// synced before the next, which bounds the memory a change to a large file needs beyond its
/// journal.
inline constexpr std::uint64_t kRecordsPerPiece = 16384;

/// Reads `count` records from record `first` (from 1) into `into`, cut to the whole records
/// read.
Expected<void> readRecordsAt(RecordFile& file, std::uint64_t first, std::uint64_t count,
                             std::vector<std::byte>& into);

/// Writes `records` (whole records) from record `first` on, in pieces, each made durable.
Expected<void> writeRecordsAt(RecordFile& file, std::uint64_t first,
                              std::span<const std::byte> records);

/// Whether each byte of the record `now` is the same byte of `one` or of `other`. A crash can cut
/// a write anywhere, not only between records: a killed write stops at a page of the system's
/// cache, and a power cut may keep any of its pages. So a record can be left half moved.
[[nodiscard]] bool eachByteOneOf(const std::byte* now, const std::byte* one,
                                 const std::byte* other);

/// How records of the file compare with what a change's journal says they held before the change
/// and hold after it.
struct MoveComparison {
    bool allAfter = true;       ///< every one holds what the change leaves: it is done
    bool beforeOrAfter = true;  ///< every byte holds its value before the change or after it
};

/// A record as a change's journal has it: record n before the change, or after it.
using JournalRecord = std::function<const std::byte*(std::uint64_t n)>;

/// Compares records `first`..`last` of the file, read in pieces, with `before` and `after`; a
/// file that ends before `last` holds neither.
Expected<void> compareWithChange(RecordFile& file, std::uint64_t first, std::uint64_t last,
                                 const JournalRecord& before, const JournalRecord& after,
                                 MoveComparison& comparison);

/// Records R+1..`records`, appended after the journal's last record R by a writer that did not
/// see the journal (a network drive's folder cache can hide a new file for a while), move with
/// the others. The journal must hold them before the first of them is overwritten, or a crash in
/// their moves would lose one: `journal` takes them in and is written again, whole, at
/// `journalPath`, as the journal of the same change to the longer file.
template <typename Journal>
Expected<void> takeInAppended(RecordFile& lockedFile, std::uint64_t records, Journal& journal,
                              const std::filesystem::path& journalPath) {
    std::vector<std::byte> appended;
    if (auto read = readRecordsAt(lockedFile, journal.recordsBefore + 1,
                                  records - journal.recordsBefore, appended);
        !read) {
        return read;
    }
    journal.oldRecords.insert(journal.oldRecords.end(), appended.begin(), appended.end());
    journal.recordsBefore += appended.size() / ResultRecord::kSize;
    return writeFileDurably(journalPath, journal.encode());
}

}  // namespace gaisan

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "base/FilePlaces.h"
#include "base/ResultRecord.h"
#include "platform/Clock.h"
#include "platform/RecordFile.h"

namespace gaisan {

/// One change a teacher made to the results file, as the change history beside it keeps it:
/// when, on which machine, by which system user, which record, and the record before and after.
struct HistoryEntry {
    enum class Kind : std::uint8_t {
        Delete = 1,     ///< record N was deleted; `before` holds it
        WriteBack = 2,  ///< record N was written back; `before` and `after` hold it
        PutBack = 3,    ///< a deleted record was put back as record N; `after` holds it
    };
    static constexpr std::size_t kSize = 256;
    static constexpr std::size_t kHostSize = 64;
    static constexpr std::size_t kUserSize = 32;

    Kind kind = Kind::Delete;
    double date = 0;   ///< day serial of the change
    double clock = 0;  ///< fraction of that day, to the second
    std::uint64_t recordNumber = 0;
    std::uint64_t recordsBefore = 0;  ///< whole records in the file before the change
    std::string host;                 ///< the machine's host name, at most kHostSize bytes
    std::string user;                 ///< the system user, at most kUserSize bytes
    RecordBytes before{};
    RecordBytes after{};       ///< zero for a delete
    std::uint64_t undoes = 0;  ///< the number of the entry this change takes back; 0 for none

    bool operator==(const HistoryEntry&) const = default;
};

/// The record an entry shows last: the record written or put back, or for a delete the record
/// deleted.
[[nodiscard]] const RecordBytes& recordShownLast(const HistoryEntry& entry);

/// An entry's 256 bytes, little-endian:
///     0  "GHS1"
///     4  uint8   kind (1 delete, 2 write-back, 3 put back), 5–7 zero
///     8  double  date, 16 double clock
///    24  uint64  record number N, 32 uint64 whole records before the change
///    40  64 bytes host name, 104 32 bytes user name (UTF-8, zero-padded)
///   136  44 bytes the record before (zero for a put-back), 180 44 bytes the record after (zero
///        for a delete)
///   224  uint64  the number of the entry this change undoes (from 1), or 0; 232 16 bytes zero
///   248  uint64  64-bit FNV-1a of bytes 0–247
using HistoryBytes = std::array<std::byte, HistoryEntry::kSize>;
[[nodiscard]] HistoryBytes encodeHistoryEntry(const HistoryEntry& entry);
/// The entry held by 256 bytes; nothing when they are not a whole entry.
[[nodiscard]] std::optional<HistoryEntry> decodeHistoryEntry(
    std::span<const std::byte, HistoryEntry::kSize> bytes);

/// The most entries a history holds (16 MiB): the changes of decades of any classroom. A history
/// that has them takes no more, so that its daily copy, taken under the results file's lock, stays
/// short; a longer one was grown by damage (a crash on a share fills a file with zeros) and is
/// mended by setAsideDamagedHistory.
inline constexpr std::uint64_t kMostHistoryEntries = 65536;

/// Whether a history file of `length` bytes holds kMostHistoryEntries whole entries or more, and
/// so takes no more.
constexpr bool historyIsFull(std::uint64_t length) {
    return length / HistoryEntry::kSize >= kMostHistoryEntries;
}

/// A new entry of `kind` for record `number` of a file of `records`, stamped with `now`, this
/// machine's host name and the user running the program.
HistoryEntry historyEntryFor(HistoryEntry::Kind kind, std::uint64_t number, std::uint64_t records,
                             const LocalDateTime& now);

/// Appends `entry` to the history through `file`, after its last whole entry (a part left by a
/// crash is written over), synced; a full disk cuts the file back. A history of
/// kMostHistoryEntries takes no more, saying so. Needs the results file's lock.
Expected<void> appendHistoryEntry(RecordFile& file, const std::filesystem::path& history,
                                  const HistoryEntry& entry);

/// The newest whole entry of the history; nothing when it has none. Needs the results file's lock.
Expected<std::optional<HistoryEntry>> newestHistoryEntry(RecordFile& file,
                                                         const std::filesystem::path& history);

/// Called with each entry's number (from 1) and the entry, or nothing for 256 bytes that are not
/// one (damage).
using HistoryVisitor =
    std::function<void(std::uint64_t number, const std::optional<HistoryEntry>& entry)>;

/// Reads the history from entry `first` (from 1) to its end, linear and in bounded pieces.
Expected<void> readHistory(RecordFile& file, const std::filesystem::path& history,
                           const HistoryVisitor& onEntry, std::uint64_t first = 1);

/// Called with a whole entry's number (from 1) and the entry.
using WholeEntryVisitor = std::function<void(std::uint64_t number, const HistoryEntry& entry)>;
/// Called with the first and the last number of a run of damaged entries.
using DamagedRunVisitor = std::function<void(std::uint64_t first, std::uint64_t last)>;

/// readHistory, with each run of damaged entries told once, in its place among the whole ones: a
/// history grown by zeros holds millions of them, which nobody reads one by one.
Expected<void> readHistoryInRuns(RecordFile& file, const std::filesystem::path& history,
                                 const WholeEntryVisitor& onEntry,
                                 const DamagedRunVisitor& onDamaged);

/// Damage of the history open in `file`, `length` bytes long, that shows without reading it
/// through: a length past kMostHistoryEntries, or a first or newest whole entry that is damaged;
/// as the words that follow "変更履歴が" in a sentence. Nothing when none shows.
[[nodiscard]] std::optional<std::string> visibleHistoryDamage(RecordFile& file,
                                                              std::uint64_t length);

/// Reads the newest `count` entries of the history, oldest first.
Expected<void> readNewestHistory(RecordFile& file, const std::filesystem::path& history,
                                 std::uint64_t count, const HistoryVisitor& onEntry);

}  // namespace gaisan

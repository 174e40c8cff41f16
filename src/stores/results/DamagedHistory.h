#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "platform/RecordFile.h"

namespace gaisan {

/// What setting aside the damage of a change history found and did.
struct HistoryMend {
    std::uint64_t wholeEntries = 0;    ///< entries kept in the history, in their order
    std::uint64_t damagedEntries = 0;  ///< entries that are no whole entry, left out of it
    std::uint64_t partialBytes = 0;    ///< the part of an entry at its end, left out of it
    /// Whether whole entries came after damaged ones, and so take new numbers.
    bool renumbers = false;
    /// The history as it was, kept whole under a name of its own; empty when nothing was changed.
    std::filesystem::path setAsideAs;
};

/// Where the history beside `resultsFile` is kept as it was when its damage is set aside: the
/// first free name of "成績変更履歴-直す前.dat", "成績変更履歴-直す前2.dat", ... up to 99;
/// nothing when all are taken.
std::optional<std::filesystem::path> historySetAsideFileOf(
    const std::filesystem::path& resultsFile);

/// Mends the change history beside `resultsFile` when it holds damaged entries or the part of an
/// entry at its end: the history as it was is first kept whole at historySetAsideFileOf (its
/// zeros as holes, so that a history grown by zeros to any size takes neither room nor time),
/// then replaced, whole and synced, by its whole entries alone, in their order. A whole
/// entry after a damaged one moves up to the next free number; an undo's entry then names the
/// new number of the entry it took back, or none when that entry was damaged, so that undo goes
/// on working on the whole entries. The new history keeps the mode and group of the old one, so
/// the next user can write it.
///
/// Without `mayRenumber` (a change waits in the pending change, whose entry names the numbers it
/// was made with), a history whose whole entries would move up is left as it is, `renumbers`
/// saying why. A history with nothing damaged is left as it is. Needs the results file's lock.
/// A failure names the history, or the file it was to be kept as.
Expected<void> setAsideDamagedHistory(RecordFile& file, const std::filesystem::path& resultsFile,
                                      bool mayRenumber, HistoryMend& mend);

}  // namespace gaisan

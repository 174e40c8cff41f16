#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "stores/results/ChangeHistory.h"

namespace gaisan {

/// The change that takes back entry `number` of the change history: a delete is taken back by
/// putting its record back where it was, a put-back by deleting that record again, a write-back
/// by writing the old record back. The result says what is changed (kind, record number, the
/// record before and after) and which entry it undoes; when and by whom it is made, and the
/// number of records, are the caller's to fill in.
[[nodiscard]] HistoryEntry undoOf(std::uint64_t number, const HistoryEntry& entry);

/// Why the later entry `laterNumber` (or damage in its place) stops entry `number` from being
/// taken back, as a sentence for the teacher; nothing when it leaves alone the records the undo
/// touches. An entry is never taken back twice; a later delete or put-back at or before the
/// record moved it or its place; a later write-back of the same record changed it (a write-back
/// of the record that moved into a deleted one's place does not matter to putting it back).
[[nodiscard]] std::optional<std::string> undoBlockedBy(std::uint64_t number,
                                                       const HistoryEntry& entry,
                                                       std::uint64_t laterNumber,
                                                       const std::optional<HistoryEntry>& later);

/// What an entry did, in the teacher's words: "記録12の消去", "記録12の書き換え", "記録12の復元"
/// (a deleted record put back).
[[nodiscard]] std::string changeCaption(const HistoryEntry& entry);

}  // namespace gaisan

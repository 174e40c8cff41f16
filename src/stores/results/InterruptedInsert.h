#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include "platform/RecordFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/InsertJournal.h"
#include "stores/results/InterruptedDelete.h"

namespace gaisan {

/// Moves the journal's records N..R up by one, writes the record put back at N and removes the
/// journal, each step made durable before the next. It can be run again from the start whatever
/// part of it reached the disk: the moved records come from the journal, not from the file.
/// Records appended after record R by a writer that did not see the journal move up too, so
/// that none is lost; the journal is first written again to hold them. Needs the append lock.
Expected<void> completeInsert(RecordFile& lockedFile, const std::filesystem::path& resultsFile,
                              const InsertJournal& journal);

/// Called with a journal that describes the file, before the put-back it describes is finished
/// or its leftover journal removed; a failure stops the finishing and leaves the journal for the
/// next writer. The change history makes sure of the put-back's entry here.
using BeforeRecoveringInsert = std::function<Expected<void>(const InsertJournal&)>;

/// Looks for the journal of a put-back cut short and finishes it, so that afterwards the file
/// holds every record once, the one put back included, plus any appended since. A put-back is
/// only ever made as a pending change whose entry is written before its journal, and its records
/// move only once that entry is in the history; `change` is that entry (the pending change, or
/// the newest entry when the pending change is gone). A journal that is not the change's, or
/// that does not describe the file (it was replaced or restored meanwhile), is removed and the
/// file left alone. Reports in `found` only
/// when there was a journal. Called by recoverInterruptedChange, which every writer calls right
/// after taking the append lock.
Expected<void> recoverInterruptedInsert(RecordFile& lockedFile,
                                        const std::filesystem::path& resultsFile,
                                        InterruptedMove& found,
                                        const std::optional<HistoryEntry>& change,
                                        const BeforeRecoveringInsert& beforeFinishing);

}  // namespace gaisan

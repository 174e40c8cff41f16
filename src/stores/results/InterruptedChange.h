#pragma once

#include <filesystem>

#include "platform/RecordFile.h"
#include "stores/results/InterruptedDelete.h"

namespace gaisan {

/// Finishes what a crash cut short of a teacher's change, so that a change and its entry in the
/// change history are there together or not at all, and then any delete a crash cut short
/// (recoverInterruptedDelete). Every writer calls it right after taking the append lock.
///
/// A change writes its entry to pendingChangeFileOf first and removes it last. Found still there:
/// - a delete whose journal is its own and describes the file is finished, its entry appended to
///   the history first if it is not the newest entry yet;
/// - a write-back whose entry is the newest in the history is finished: the record still as it
///   was, or half written, gets its new bytes;
/// - any other change never began: the file is as it was, and the history does not name it.
/// A pending change that is no whole entry was never written whole, so its change never began.
/// A history that cannot be read or written leaves the pending change (and its journal) as it is
/// for a later writer, without an error: a child's run is still recorded, and a teacher's next
/// change is refused while a change is pending (RecordsAdministration).
Expected<void> recoverInterruptedChange(RecordFile& lockedFile,
                                        const std::filesystem::path& resultsFile,
                                        InterruptedMove& found);

}  // namespace gaisan

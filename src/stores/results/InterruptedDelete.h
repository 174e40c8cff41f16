#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/RecordFile.h"
#include "stores/results/DeleteJournal.h"
#include "stores/results/InterruptedMove.h"

namespace gaisan {

/// Moves the records after the journal's deleted one down by one, cuts the file by one record and
/// removes the journal, each step made durable before the next. Written so that it can be run
/// again from the start whatever part of it reached the disk: the moved records come from the
/// journal, not from the file. Records appended after record R by a writer that did not see the
/// journal (a network drive's folder cache can hide a new file for a while) are moved down too,
/// so that none is lost; the journal is first written again to hold them. Needs the append lock.
Expected<void> completeDelete(RecordFile& lockedFile, const std::filesystem::path& resultsFile,
                              const DeleteJournal& journal);

/// Called with a journal that describes the file, before the delete it describes is finished or
/// its leftover journal removed; a failure stops the finishing and leaves the journal for the next
/// writer. The change history makes sure of the delete's entry here.
using BeforeRecoveringDelete = std::function<Expected<void>(const DeleteJournal&)>;

/// Looks for the journal of a delete cut short and finishes that delete, so that afterwards the
/// file holds every record once, minus the deleted one, plus any appended since. Called by
/// recoverInterruptedChange, which every writer calls right after taking the append lock, before
/// it touches the file.
Expected<void> recoverInterruptedDelete(RecordFile& lockedFile,
                                        const std::filesystem::path& resultsFile,
                                        InterruptedMove& found,
                                        const BeforeRecoveringDelete& beforeFinishing = nullptr);

}  // namespace gaisan

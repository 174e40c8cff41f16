#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/RecordFile.h"
#include "stores/results/DeleteJournal.h"

namespace gaisan {

/// What a writer found of a delete, or of a put-back of a deleted record, that a crash cut short,
/// and what it did about it.
struct InterruptedDelete {
    /// Which change was cut short: both move records through a journal.
    enum class Change { Delete, PutBack };
    enum class Finding {
        /// No journal: nothing was interrupted.
        None,
        /// A journal cut short: the delete stopped before it moved anything; the file is as it
        /// was and the record is still there.
        NothingMoved,
        /// The delete was finished now: the record is gone, every other record is there once.
        Completed,
        /// The delete had been finished; only its journal was left, and is now removed.
        AlreadyComplete,
        /// The journal does not describe this file (it was replaced or restored meanwhile): the
        /// file is left as it is and the journal removed.
        NotMatching,
        /// A file by the journal's name that is no journal (such as a copy of the results file
        /// an older delete left behind): renamed to `setAsideAs`, and the results file untouched.
        OtherFileSetAside,
    };
    Finding finding = Finding::None;
    Change change = Change::Delete;
    std::uint64_t recordNumber = 0;  ///< the record the change was for
    std::filesystem::path setAsideAs;

    /// A sentence for the teacher saying what was found and how it was finished; empty for None.
    std::string sentence() const;
};

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
using BeforeFinishingDelete = std::function<Expected<void>(const DeleteJournal&)>;

/// Looks for the journal of a delete cut short and finishes that delete, so that afterwards the
/// file holds every record once, minus the deleted one, plus any appended since. Called by
/// finishInterruptedChange, which every writer calls right after taking the append lock, before
/// it touches the file.
Expected<void> finishInterruptedDelete(RecordFile& lockedFile,
                                       const std::filesystem::path& resultsFile,
                                       InterruptedDelete& found,
                                       const BeforeFinishingDelete& beforeFinishing = nullptr);

}  // namespace gaisan

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace gaisan {

/// What a writer found of a delete, or of a put-back of a deleted record, that a crash cut short,
/// and what it did about it.
struct InterruptedMove {
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

}  // namespace gaisan

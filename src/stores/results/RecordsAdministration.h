#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/ResultRecord.h"
#include "platform/Clock.h"
#include "platform/RecordFile.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/DamagedHistory.h"
#include "stores/results/FileRetries.h"
#include "stores/results/InterruptedDelete.h"

namespace gaisan {

/// Whether the record now at the chosen number is the one the teacher chose.
using RecordCheck = std::function<bool(std::span<const std::byte, ResultRecord::kSize> current)>;
/// Whether the change history's entry of the chosen number is the one the teacher chose.
using EntryCheck = std::function<bool(const HistoryEntry& entry)>;
/// Told what a change found of an earlier one a crash cut short, and did about it, as soon as it
/// is done: the change itself may still fail after it.
using InterruptedNotice = std::function<void(const InterruptedMove& found)>;

/// What a teacher's change came to when no file error stopped it: made, or refused with nothing
/// changed. A refusal is no failure: the files are sound, and the teacher chooses again.
struct ChangeOutcome {
    enum class Kind {
        Done,
        /// The values may not be written; `why` says why.
        Refused,
        /// The record at that number is no longer the one chosen.
        NotTheRecord,
        /// The file has no record of that number (any more), or the history no entry of it.
        PastEnd,
        /// A change may not be undone now; `why` says why.
        Blocked,
    };
    Kind kind = Kind::Done;
    std::string why;  ///< why the values were refused or the undo blocked
    /// What the copy of the answers of a run moved to another student left undone, naming the
    /// file, for a change that was made: answers that could not go with it (they stay where they
    /// were, and no record names them), or else the day's copy of the file they went to.
    AnswersAppendProblems movedAnswers;

    bool done() const { return kind == Kind::Done; }
};

/// The teacher's corrections of the shared results file: deleting a record, and writing one back
/// with another student or time. Other machines go on appending meanwhile, so every change is
/// made in place under the append lock (never by replacing the file, on which other machines keep
/// descriptors and locks), after finishing any delete a crash cut short, and only when the record
/// read again under the lock is still the one the teacher chose: the teacher's list is a snapshot,
/// and another teacher's delete may have renumbered the file since.
///
/// A file error that stops a change is its failure, naming the results file; its problem names
/// the change history when that was the file that failed. A change stopped once its history
/// entry may have been written is left for the next writer, who finishes it with its entry or
/// leaves out both (recoverInterruptedChange).
class RecordsAdministration {
public:
    using Result = Expected<ChangeOutcome>;

    /// `clock` dates the change history's entries and the answers' daily copies.
    RecordsAdministration(RecordFile& file, std::filesystem::path resultsFile, RetryWait wait,
                          const Clock& clock);

    /// Deletes record `number` (from 1): its history entry is written as the pending change, a
    /// journal holding the record and all after it is written and synced beside the file, the
    /// entry is appended to the change history, the later records move down by one, the file is
    /// cut by one record, and the journal and the pending change are removed, each step synced
    /// before the next; a crash at any point leaves a state the next writer finishes
    /// (recoverInterruptedChange). A history that cannot be written stops the delete before
    /// anything has moved.
    [[nodiscard]] Result deleteRecord(std::uint64_t number, const RecordCheck& isTheRecord);

    /// Writes record `number` back with the given student and/or seconds in one synced write;
    /// every other byte keeps its value. Values writeBackProblem refuses are not written. The
    /// change's history entry is written as the pending change and appended to the history
    /// before the record is written (recoverInterruptedChange finishes a write-back whose entry is
    /// in the history); a history that cannot be written stops the write-back. With
    /// moveAnswersThrough, a run given to another student first has its answers copied to that
    /// student (copyRunAnswers), under the same lock: a crash in between leaves a copy no record
    /// names, never a moved run without its answers.
    [[nodiscard]] Result writeBack(std::uint64_t number, const RecordCheck& isTheRecord,
                                   std::optional<std::int64_t> student,
                                   std::optional<std::int64_t> seconds);

    /// Takes back entry `entryNumber` (from 1) of the change history with the change undoOf
    /// gives, made like any delete, put-back or write-back, with its own entry in the history
    /// naming the one it undoes. A deleted record is put back where it was: the records after it
    /// move up through a journal (completeInsert), so that a crash half way is finished by the
    /// next writer, and runs appended meanwhile move up with them. Blocked, saying why, when a
    /// later entry stops it (undoBlockedBy) or the record is not as the entry left it; PastEnd
    /// when the history has no such entry; NotTheRecord when `isTheEntry` refuses the entry.
    /// Answers need nothing: they count while a record of their run is there.
    [[nodiscard]] Result undo(std::uint64_t entryNumber, const EntryCheck& isTheEntry);

    /// Runs that a write-back gives to another student take their answers with them, written
    /// through `answersFile`. A deleted run needs nothing: answers count only while their run's
    /// record is there.
    void moveAnswersThrough(RecordFile& answersFile) { m_answersFile = &answersFile; }

    /// Every change, on taking the lock, tells `notice` what it found of a change a crash cut
    /// short and did about it (Finding::None when there was none).
    void tellInterruptedTo(InterruptedNotice notice) { m_tellInterrupted = std::move(notice); }

    /// Sets aside the damage of the change history (setAsideDamagedHistory), under the lock and
    /// after finishing a change a crash cut short. A change that still waits for the history (a
    /// history past its size cannot take its entry) does not stop it, unless whole entries would
    /// take new numbers: the waiting entry names the numbers it was made with. Blocked, saying
    /// so, then; `mend` tells what was found and done.
    [[nodiscard]] Result setAsideDamagedHistory(HistoryMend& mend);

    /// Takes the lock only to finish a change a crash cut short (recoverInterruptedChange), for a
    /// check of the file.
    [[nodiscard]] Result recoverInterruptedChange();

    /// Why a record may not get this student or time, or nothing. A student outside 1..5000
    /// would stop every machine's next count; a time outside 0..99999 is no time a run can take
    /// (99999 marks a time-up, 99998 a failed run).
    [[nodiscard]] static std::optional<std::string> writeBackProblem(
        std::optional<std::int64_t> student, std::optional<std::int64_t> seconds);

    /// The check that the record holds exactly `chosen`, all 44 bytes.
    static RecordCheck isExactly(const RecordBytes& chosen);

private:
    /// Whether a change may be made while an earlier one waits for a history it cannot write.
    enum class WhilePending { Refused, Allowed };
    /// Opens the file, waits for the append lock, finishes an interrupted change, then runs
    /// `change` with the number of whole records; closes the file, releasing the lock, however
    /// it ends. An earlier change still waiting for the history refuses `change`, unless allowed.
    [[nodiscard]] Result underLock(const std::function<Result(std::uint64_t records)>& change,
                                   WhilePending whilePending = WhilePending::Refused);
    /// The history entry of `change` (its kind, record, records before and after, and the entry
    /// it undoes) made now to a file of `records`.
    HistoryEntry stamped(const HistoryEntry& change, std::uint64_t records) const;
    /// Records `number` to `records` (none when `number` is one past them) into `into`; nothing
    /// when they were read whole, else the result to return.
    [[nodiscard]] std::optional<Result> readFrom(std::uint64_t number, std::uint64_t records,
                                                 std::vector<std::byte>& into);
    /// A change that moves records: `entry` written as the pending change, `journal` written and
    /// synced at `journalPath`, the entry appended to the history, then `moves` (which finish by
    /// removing the journal), and the pending change removed last; a crash at any point leaves a
    /// state the next writer finishes (recoverInterruptedChange).
    [[nodiscard]] Result journaledChange(const HistoryEntry& entry,
                                         const std::filesystem::path& journalPath,
                                         std::span<const std::byte> journal,
                                         const std::function<Expected<void>()>& moves);
    /// The failure of a change stopped by `cause`, a failure of the results file or of a file
    /// beside it; with `namingIt`, its problem names the file that failed.
    Unexpected<Failure> failed(const Failure& cause, bool namingIt = false) const;
    /// The change of `entry`, already checked under the lock: its entry written as the pending
    /// change, then to the history, then the change itself, then the pending change removed.
    [[nodiscard]] Result deleteLocked(const HistoryEntry& entry);
    /// A put-back is refused with `changedSince` when its run is in the file already.
    [[nodiscard]] Result putBackLocked(const HistoryEntry& entry, const std::string& changedSince);
    [[nodiscard]] Result writeBackLocked(const HistoryEntry& entry);
    /// Appends `entry` to the change history; nothing when it is there. A failed write is read
    /// back, since a write whose sync failed may still have reached the server; an entry that
    /// did not get there takes its change back (withdrawChange, with the change's `journal`),
    /// and one that cannot be told is left to the next writer. The result names the history.
    [[nodiscard]] std::optional<Result> recordInHistory(
        const HistoryEntry& entry, const std::optional<std::filesystem::path>& journal);
    /// Takes back a change whose entry did not reach the history: removes `journal` (when
    /// given) and then the pending change. Whatever cannot be removed is left for the next
    /// writer, which finishes the change with its entry or leaves out both.
    void withdrawChange(const std::optional<std::filesystem::path>& journal);
    /// The record `number`, read under the lock, against `isTheRecord`; nothing when it may be
    /// changed, else the result to return.
    [[nodiscard]] std::optional<Result> chosenRecord(std::uint64_t number, std::uint64_t records,
                                                     const RecordCheck& isTheRecord,
                                                     RecordBytes& current);

    RecordFile& m_file;
    std::filesystem::path m_path;
    RetryWait m_wait;
    const Clock& m_clock;
    RecordFile* m_answersFile = nullptr;
    InterruptedNotice m_tellInterrupted;
};

}  // namespace gaisan

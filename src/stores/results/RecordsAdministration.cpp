#include "stores/results/RecordsAdministration.h"

#include <algorithm>

#include "base/IndexedTables.h"
#include "platform/ClosesOnExit.h"
#include "platform/DurableFile.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/AnswersFailureLog.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/InterruptedChange.h"
#include "stores/results/InterruptedInsert.h"
#include "stores/results/ResultsFile.h"
#include "stores/results/UndoRules.h"

namespace gaisan {
namespace {

/// The highest time a record may hold: the time-up mark.
constexpr std::int64_t kHighestSeconds = 99999;

using Kind = ChangeOutcome::Kind;

RecordsAdministration::Result refused(Kind kind, std::string why = {}) {
    return ChangeOutcome{kind, std::move(why), {}};
}

}  // namespace

RecordsAdministration::RecordsAdministration(RecordFile& file, std::filesystem::path resultsFile,
                                             RetryWait wait, const Clock& clock)
    : m_file(file), m_path(std::move(resultsFile)), m_wait(std::move(wait)), m_clock(clock) {}

Unexpected<Failure> RecordsAdministration::failed(const Failure& cause, bool namingIt) const {
    return Unexpected(Failure{m_path, namingIt ? cause.text() : cause.problem, cause.error});
}

HistoryEntry RecordsAdministration::stamped(const HistoryEntry& change,
                                            std::uint64_t records) const {
    HistoryEntry entry = historyEntryFor(change.kind, change.recordNumber, records, m_clock.now());
    entry.before = change.before;
    entry.after = change.after;
    entry.undoes = change.undoes;
    return entry;
}

std::optional<RecordsAdministration::Result> RecordsAdministration::recordInHistory(
    const HistoryEntry& entry, const std::optional<std::filesystem::path>& journal) {
    PosixRecordFile historyFile;
    const std::filesystem::path history = historyFileOf(m_path);
    const Expected<void> appended = appendHistoryEntry(historyFile, history, entry);
    if (appended) return std::nullopt;
    // A write whose sync failed may still have reached the server: the entry read back decides.
    // Nothing can have been written to a history that is no file.
    std::error_code notThere;
    std::optional<HistoryEntry> newest;
    if (std::filesystem::is_regular_file(history, notThere)) {
        Expected<std::optional<HistoryEntry>> read = newestHistoryEntry(historyFile, history);
        // Whether it is there cannot be told: the next writer finishes the change with its
        // entry or leaves out both.
        if (!read) return failed(appended.error(), true);
        newest = std::move(*read);
    }
    if (newest == entry) return std::nullopt;
    // A change the history cannot tell of is not made.
    withdrawChange(journal);
    return failed(appended.error(), true);
}

void RecordsAdministration::withdrawChange(const std::optional<std::filesystem::path>& journal) {
    if (journal && !removeFileDurably(*journal)) return;
    static_cast<void>(removeFileDurably(pendingChangeFileOf(m_path)));
}

RecordCheck RecordsAdministration::isExactly(const RecordBytes& chosen) {
    return [chosen](std::span<const std::byte, ResultRecord::kSize> current) {
        return std::equal(current.begin(), current.end(), chosen.begin());
    };
}

std::optional<std::string> RecordsAdministration::writeBackProblem(
    std::optional<std::int64_t> student, std::optional<std::int64_t> seconds) {
    if (student && (*student < 1 || *student > kHighestStudent)) {
        return "生徒番号は1から" + std::to_string(kHighestStudent) + "までです。";
    }
    if (seconds && (*seconds < 0 || *seconds > kHighestSeconds)) {
        return "タイムは0から" + std::to_string(kHighestSeconds) + "までの秒数です。";
    }
    return std::nullopt;
}

RecordsAdministration::Result RecordsAdministration::underLock(
    const std::function<Result(std::uint64_t records)>& change, WhilePending whilePending) {
    ClosesOnExit closes(m_file);
    if (auto locked = openWithAppendLock(m_file, m_path, m_wait); !locked) {
        return failed(locked.error());
    }
    InterruptedMove interrupted;
    const Expected<void> finished = gaisan::recoverInterruptedChange(m_file, m_path, interrupted);
    // Told even when the finishing or the change then fails: what was done is done.
    if (m_tellInterrupted) m_tellInterrupted(interrupted);
    if (!finished) return failed(finished.error());
    std::error_code missing;
    if (whilePending == WhilePending::Refused &&
        std::filesystem::exists(pendingChangeFileOf(m_path), missing)) {
        // An earlier change waits for a history that can be read and written: another change
        // would take its place before it is finished.
        return failed(fileFailure(historyFileOf(m_path),
                                  FileError{FileErrorKind::Other, 75, 0,
                                            "前の変更を変更履歴に書けないため、終わっていません"}),
                      true);
    }
    const Expected<std::uint64_t> length = m_file.length();
    if (!length) return failed(length.error());
    return change(*length / ResultRecord::kSize);
}

std::optional<RecordsAdministration::Result> RecordsAdministration::chosenRecord(
    std::uint64_t number, std::uint64_t records, const RecordCheck& isTheRecord,
    RecordBytes& current) {
    if (number < 1 || number > records) return refused(Kind::PastEnd);
    const Expected<std::size_t> bytesRead =
        m_file.readAt((number - 1) * ResultRecord::kSize, current);
    if (!bytesRead) return failed(bytesRead.error());
    if (*bytesRead != ResultRecord::kSize) return refused(Kind::PastEnd);
    if (!isTheRecord(current)) return refused(Kind::NotTheRecord);
    return std::nullopt;
}

RecordsAdministration::Result RecordsAdministration::deleteRecord(std::uint64_t number,
                                                                  const RecordCheck& isTheRecord) {
    return underLock([&](std::uint64_t records) -> Result {
        RecordBytes current;
        if (auto refusal = chosenRecord(number, records, isTheRecord, current)) return *refusal;
        HistoryEntry change;
        change.kind = HistoryEntry::Kind::Delete;
        change.recordNumber = number;
        change.before = current;
        return deleteLocked(stamped(change, records));
    });
}

std::optional<RecordsAdministration::Result> RecordsAdministration::readFrom(
    std::uint64_t number, std::uint64_t records, std::vector<std::byte>& into) {
    into.resize((records + 1 - number) * ResultRecord::kSize);
    const Expected<std::size_t> bytesRead = m_file.readAt((number - 1) * ResultRecord::kSize, into);
    if (!bytesRead) return failed(bytesRead.error());
    if (*bytesRead != into.size()) {
        return failed(fileFailure(m_path, FileError{FileErrorKind::Other, 62, 0,
                                                    "ファイルが読んでいる途中で短くなりました"}));
    }
    return std::nullopt;
}

RecordsAdministration::Result RecordsAdministration::journaledChange(
    const HistoryEntry& entry, const std::filesystem::path& journalPath,
    std::span<const std::byte> journal, const std::function<Expected<void>()>& moves) {
    const std::filesystem::path pending = pendingChangeFileOf(m_path);
    if (auto written = writeFileDurably(pending, encodeHistoryEntry(entry)); !written) {
        return failed(written.error());
    }
    if (auto written = writeFileDurably(journalPath, journal); !written) {
        // Nothing has moved; a journal left half written reads as such and is removed.
        withdrawChange(std::nullopt);
        return failed(written.error());
    }
    // Nothing has moved yet: a change the history cannot tell of is taken back whole.
    if (auto refusal = recordInHistory(entry, journalPath)) return *refusal;
    if (auto moved = moves(); !moved) return failed(moved.error());
    // The change and its entry are both there: a pending change left by a failed removal is
    // found finished by the next writer.
    static_cast<void>(removeFileDurably(pending));
    return ChangeOutcome{};
}

RecordsAdministration::Result RecordsAdministration::deleteLocked(const HistoryEntry& entry) {
    DeleteJournal journal;
    journal.recordNumber = entry.recordNumber;
    journal.recordsBefore = entry.recordsBefore;
    if (auto refusal = readFrom(entry.recordNumber, entry.recordsBefore, journal.oldRecords)) {
        return *refusal;
    }
    return journaledChange(entry, deleteJournalPathOf(m_path), journal.encode(),
                           [&] { return completeDelete(m_file, m_path, journal); });
}

RecordsAdministration::Result RecordsAdministration::putBackLocked(
    const HistoryEntry& entry, const std::string& changedSince) {
    InsertJournal journal;
    journal.recordNumber = entry.recordNumber;
    journal.recordsBefore = entry.recordsBefore;
    journal.record = entry.after;
    // Record N-1 is read too: a run is never in the file twice, and one found beside its old
    // place or after it is there already (the file was restored from a copy since the delete).
    const std::uint64_t first = std::max<std::uint64_t>(entry.recordNumber, 2) - 1;
    std::vector<std::byte> neighbours;
    if (auto refusal = readFrom(first, entry.recordsBefore, neighbours)) return *refusal;
    for (std::size_t at = 0; at < neighbours.size(); at += ResultRecord::kSize) {
        if (std::equal(entry.after.begin(), entry.after.end(), neighbours.begin() + at)) {
            return refused(Kind::Blocked, changedSince);
        }
    }
    journal.oldRecords.assign(
        neighbours.begin() + (entry.recordNumber - first) * ResultRecord::kSize, neighbours.end());
    return journaledChange(entry, insertJournalPathOf(m_path), journal.encode(),
                           [&] { return completeInsert(m_file, m_path, journal); });
}

RecordsAdministration::Result RecordsAdministration::writeBack(
    std::uint64_t number, const RecordCheck& isTheRecord, std::optional<std::int64_t> student,
    std::optional<std::int64_t> seconds) {
    if (auto problem = writeBackProblem(student, seconds)) return refused(Kind::Refused, *problem);
    return underLock([&](std::uint64_t records) -> Result {
        RecordBytes current;
        if (auto refusal = chosenRecord(number, records, isTheRecord, current)) return *refusal;
        const ResultRecord old = decodeRecord(current);
        const auto newStudent = static_cast<std::int16_t>(student.value_or(old.StudentIndex));
        HistoryEntry change;
        change.kind = HistoryEntry::Kind::WriteBack;
        change.recordNumber = number;
        change.before = current;
        change.after = withStudentAndSeconds(
            current, newStudent, static_cast<std::int32_t>(seconds.value_or(old.ResultSeconds)));
        AnswersAppendProblems movedAnswers;
        if (m_answersFile && newStudent != old.StudentIndex) {
            const RunIdentity from{old.RecordDate, old.RecordClock, old.StudentIndex,
                                   old.LevelIndex};
            RunIdentity to = from;
            to.student = newStudent;
            const LocalDateTime now = m_clock.now();
            movedAnswers = copyRunAnswers(*m_answersFile, m_path, from, to, now.date);
            logAnswersProblems(m_path, now, movedAnswers);
        }
        Result result = writeBackLocked(stamped(change, records));
        // Answers copied for a change that was not made belong to no record: nothing moved.
        if (result && result->done()) result->movedAnswers = movedAnswers;
        return result;
    });
}

RecordsAdministration::Result RecordsAdministration::writeBackLocked(const HistoryEntry& entry) {
    const std::filesystem::path pending = pendingChangeFileOf(m_path);
    if (auto written = writeFileDurably(pending, encodeHistoryEntry(entry)); !written) {
        return failed(written.error());
    }
    if (auto refusal = recordInHistory(entry, std::nullopt)) return *refusal;
    if (auto written =
            m_file.writeDurably((entry.recordNumber - 1) * ResultRecord::kSize, entry.after);
        !written) {
        // The entry is in the history: the next writer finishes the write-back.
        return failed(written.error());
    }
    static_cast<void>(removeFileDurably(pending));
    return ChangeOutcome{};
}

RecordsAdministration::Result RecordsAdministration::undo(std::uint64_t entryNumber,
                                                          const EntryCheck& isTheEntry) {
    const auto blocked = [](std::string why) { return refused(Kind::Blocked, std::move(why)); };
    return underLock([&](std::uint64_t records) -> Result {
        bool listed = false;
        std::optional<HistoryEntry> target;
        std::optional<std::string> blockedBy;
        PosixRecordFile historyFile;
        const std::filesystem::path history = historyFileOf(m_path);
        const Expected<void> read = readHistory(
            historyFile, history,
            [&](std::uint64_t number, const std::optional<HistoryEntry>& entry) {
                if (number == entryNumber) {
                    listed = true;
                    target = entry;
                } else if (target && !blockedBy) {
                    blockedBy = undoBlockedBy(entryNumber, *target, number, entry);
                }
            },
            entryNumber);
        if (!read) return failed(read.error(), true);
        if (!listed) return refused(Kind::PastEnd);
        const std::string which = "変更" + std::to_string(entryNumber);
        if (!target) return blocked(which + "は壊れていて読めないため、元に戻せません。");
        if (!isTheEntry(*target)) return refused(Kind::NotTheRecord);
        if (blockedBy) return blocked(*blockedBy);
        const HistoryEntry entry = stamped(undoOf(entryNumber, *target), records);
        const std::string changedSince = "記録" + std::to_string(entry.recordNumber) + "が" +
                                         which +
                                         "の後で変わっているため、元に戻せません"
                                         "（変更履歴に残らない書き換えか、ファイルの入れ替え）。";
        // A record the count cannot place would stop every machine's next count, as it did
        // before the change being undone put it right.
        if (entry.kind != HistoryEntry::Kind::Delete) {
            if (ResultsFile::indexProblemOf(decodeRunFields(entry.after))) {
                return blocked(
                    "戻す記録の生徒番号かレベルが範囲外で、どのコンピュータでも成績を"
                    "数えられなくなるため、元に戻せません。");
            }
        }
        if (entry.kind == HistoryEntry::Kind::PutBack) {
            if (entry.recordNumber < 1 || entry.recordNumber > records + 1) {
                return blocked(changedSince);
            }
            return putBackLocked(entry, changedSince);
        }
        RecordBytes current;
        if (auto refusal =
                chosenRecord(entry.recordNumber, records, isExactly(entry.before), current)) {
            return *refusal ? blocked(changedSince) : *refusal;
        }
        return entry.kind == HistoryEntry::Kind::Delete ? deleteLocked(entry)
                                                        : writeBackLocked(entry);
    });
}

RecordsAdministration::Result RecordsAdministration::setAsideDamagedHistory(HistoryMend& mend) {
    return underLock(
        [&](std::uint64_t) -> Result {
            std::error_code missing;
            const bool changePending =
                std::filesystem::exists(pendingChangeFileOf(m_path), missing);
            PosixRecordFile historyFile;
            if (auto mended =
                    gaisan::setAsideDamagedHistory(historyFile, m_path, !changePending, mend);
                !mended) {
                return failed(mended.error(), true);
            }
            if (mend.setAsideAs.empty() && mend.renumbers) {
                return refused(Kind::Blocked,
                               "変更履歴の途中が壊れていますが、途中で止まった変更（" +
                                   pendingChangeFileOf(m_path).filename().string() +
                                   "）が変更履歴に書かれるのを待っているため、直せません。");
            }
            return ChangeOutcome{};
        },
        WhilePending::Allowed);
}

RecordsAdministration::Result RecordsAdministration::recoverInterruptedChange() {
    return underLock([](std::uint64_t) { return Result{ChangeOutcome{}}; });
}

}  // namespace gaisan

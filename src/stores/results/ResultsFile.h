#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/AnswerRecord.h"
#include "base/CountTables.h"
#include "base/LoadedRecords.h"
#include "base/ResultRecord.h"
#include "platform/Clock.h"
#include "platform/RecordFile.h"
#include "stores/results/FileRetries.h"

namespace gaisan {

/// The run an append records.
struct RunToRecord {
    int student = 0;
    int level = 0;
    std::int32_t seconds = 0;
    std::optional<std::string> schoolCode;  ///< five spaces are written when there is none
};

/// What an append did besides recording the run: the problems it met along the way, each naming
/// its file, none of which keeps the run from being recorded.
struct AppendDone {
    /// The day's copies (of the results file, the change history or the run's answers file) not
    /// taken; nothing when they were taken, were there already or were not needed.
    std::optional<Failure> backupProblem;
    /// The run's answers not written: the run is recorded without them.
    std::optional<Failure> answersProblem;
};

/// The results file "成績累積データ.dat" that every machine of a classroom appends to and reads
/// at the same time. Each operation opens the file, works and closes it again, so that nothing
/// is held between screens. A lock held by another machine is waited out in one-second steps,
/// without limit; a missing file (its folder gone from the network) is tried four times, five
/// seconds apart; anything else is a failure naming the file, whose problem is the message the
/// teacher sees before the program ends.
class ResultsFile {
public:
    ResultsFile(RecordFile& file, std::filesystem::path path, const Clock& clock, RetryWait wait);

    /// Appends one record under the exclusive lock, after finishing a delete that a crash cut
    /// short (recoverInterruptedChange): the position (after the last whole record,
    /// so that a partial record left by a crash is overwritten) and the record's date and clock
    /// are taken only once the lock is held. The first append of a day first copies the file,
    /// and the change history beside it, into the day's backup (see takeDailyBackup); a failed
    /// copy is passed over and told in the result's backupProblem. The record is written in one
    /// call and synced before the lock is released; when the disk is full the file is cut back to
    /// its old length, still under the lock, so that no half record is left behind. No failure is
    /// reported as success.
    ///
    /// Once the record is written, and with keepAnswers, the run's `answers` (judged, in order)
    /// are appended to its
    /// student's answers file (appendRunAnswers), still under the lock, linked to the record by
    /// its date, clock, student and level. Their failure never fails the run: it is logged for
    /// `gaisan-records check` (logAnswersProblems) and told in the result's answersProblem; a
    /// failed day's copy of the answers file is logged as such and told as its backupProblem.
    Expected<AppendDone> AppendResultRecord(const RunToRecord& run,
                                            std::span<const AnswerRecord> answers = {});

    /// Appends' answers are written through `answersFile`; without it, runs keep no answers.
    void keepAnswers(RecordFile& answersFile) { m_answersFile = &answersFile; }

    /// Opens the file for writing, creating it when absent, and closes it again: run at start-up,
    /// so that a share the machine cannot write is told before a child's first run, not after.
    Expected<void> checkWritable();

    /// Reads the newest 20000 whole records into `records` and rebuilds the best-time tables:
    /// BestTime per level and student, LevelBestTime per level over students 1..1000 only.
    /// Records with a date below 0, student 0 or level 0 update BestTime but are not listed.
    /// A record whose numbers the tables cannot hold (student outside 0..5000, level outside
    /// 0..35) is a failure naming it; one whose date or clock is no valid time is passed over.
    Expected<void> LoadResultRecords(LoadedRecords& records, CountTables& counts);

    /// The record an append writes for `run` at `now`.
    static ResultRecord recordOf(const RunToRecord& run, const LocalDateTime& now);

    /// A student or level the tables cannot hold; such a record stops the load with a message.
    [[nodiscard]] static std::optional<std::string> indexProblemOf(const LoadedRecord& record);
    /// A date that is no whole day number, a clock that is no number or a time below 0; such a
    /// record is passed over by the load (a negative time would score without bound and become
    /// a best nobody can beat).
    [[nodiscard]] static std::optional<std::string> timeProblemOf(const LoadedRecord& record);
    /// Either problem, or a date outside the years 1900 to 9999, which no row can write: a
    /// record that neither the run lists nor the export show as a run. A date after today is no
    /// such problem: a classroom machine whose clock was wrong still recorded a real run.
    [[nodiscard]] static std::optional<std::string> displayProblemOf(const LoadedRecord& record);
    /// displayProblemOf's problems, or a record no program run can have written: a date after
    /// `today` (a classroom machine whose clock was wrong; by the counting rules such a record
    /// would count in every window for ever), or a clock outside one day. For a check of the
    /// whole file.
    [[nodiscard]] static std::optional<std::string> problemOf(const ResultRecord& record,
                                                              int todaySerial);

private:
    /// A failure of this file, `message` the text the teacher sees.
    Unexpected<Failure> failure(std::string message, FileError error = {}) const;

    RecordFile& m_file;
    std::filesystem::path m_path;
    const Clock& m_clock;
    RetryWait m_wait;
    RecordFile* m_answersFile = nullptr;
};

}  // namespace gaisan

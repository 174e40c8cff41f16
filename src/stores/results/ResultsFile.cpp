#include "stores/results/ResultsFile.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <vector>

#include "base/IndexedTables.h"
#include "platform/Calendar.h"
#include "platform/ClosesOnExit.h"
#include "platform/Numbers.h"
#include "stores/results/AnswersFailureLog.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/DailyBackup.h"
#include "stores/results/InterruptedChange.h"
#include "stores/results/RecordReader.h"

namespace gaisan {
namespace {

/// Only students 1..1000 take part in a level's best time.
constexpr int kHighestRankedStudent = 1000;

/// "ランダムファイル" (random-access file) is deliberate: the teacher's message has always read so.
constexpr std::string_view kAppendFailure = "成績ランダムファイル記録";

bool fitsTables(const LoadedRecord& record) {
    return isStudentSlot(record.student) && isLevelSlot(record.level);
}

bool isDayNumber(double date) { return std::isfinite(date) && date == std::floor(date); }

/// The checks of timeProblemOf, without the words: the load asks them of every record.
bool hasValidTimes(const LoadedRecord& record) {
    return isDayNumber(record.date) && std::isfinite(record.clock) && record.seconds >= 0;
}

/// Whether a failed append may cut the file back to its old length. Only when the disk or quota
/// is full, or the write came up short, is it certain that this machine still holds the lock and
/// wrote the bytes past the old end. After an I/O error or a lost network handle the lock may
/// have gone with the connection (an SMB client may fail to take it again when it reconnects),
/// another machine may have appended meanwhile, and cutting back would remove its record; a
/// partial record left behind is overwritten by the next append.
bool cuttingBackIsSafeAfter(const FileError& error) {
    return error.systemNumber == ENOSPC || error.systemNumber == EDQUOT;
}

/// A record whose numbers the tables cannot hold: error 9, a number out of range.
FileError unusableRecord(const std::string& problem) {
    return {FileErrorKind::Other, 9, 0, problem};
}

}  // namespace

ResultsFile::ResultsFile(RecordFile& file, std::filesystem::path path, const Clock& clock,
                         RetryWait wait)
    : m_file(file), m_path(std::move(path)), m_clock(clock), m_wait(std::move(wait)) {}

Unexpected<Failure> ResultsFile::failure(std::string message, FileError error) const {
    return Unexpected(Failure{m_path, std::move(message), std::move(error)});
}

ResultRecord ResultsFile::recordOf(const RunToRecord& run, const LocalDateTime& now) {
    ResultRecord record;
    record.RecordDate = daySerial(now.date);
    // Whole seconds: times of day are shown and compared to the second.
    record.RecordClock = std::floor(now.secondsSinceMidnight) / 86400.0;
    record.StudentIndex = static_cast<std::int16_t>(run.student);
    record.LevelIndex = static_cast<std::int16_t>(run.level);
    record.ResultSeconds = run.seconds;
    // The padded fields are deliberate: the suite's programs write them so, byte for byte.
    record.SchoolCode = run.schoolCode.value_or("     ");
    record.ExtraField = "     ";
    record.PointsField = "0    ";
    return record;
}

std::optional<std::string> ResultsFile::indexProblemOf(const LoadedRecord& record) {
    if (fitsTables(record)) return std::nullopt;
    return "記録の生徒番号かレベルが範囲外です";
}

std::optional<std::string> ResultsFile::timeProblemOf(const LoadedRecord& record) {
    if (!isDayNumber(record.date)) return "記録の日付が日の番号ではありません";
    if (!std::isfinite(record.clock)) return "記録の時刻が数ではありません";
    if (record.seconds < 0) return "記録のタイムが負の数です";
    return std::nullopt;
}

std::optional<std::string> ResultsFile::displayProblemOf(const LoadedRecord& record) {
    if (auto problem = indexProblemOf(record)) return problem;
    if (auto problem = timeProblemOf(record)) return problem;
    static const int firstDay = daySerial({1900, 1, 1});
    static const int lastDay = daySerial({9999, 12, 31});
    if (record.date < firstDay || record.date > lastDay)
        return "記録の日付が1900年〜9999年の外です";
    return std::nullopt;
}

std::optional<std::string> ResultsFile::problemOf(const ResultRecord& record, int todaySerial) {
    const LoadedRecord fields = runFieldsOf(record);
    if (auto problem = displayProblemOf(fields)) return problem;
    if (fields.date > todaySerial) return "記録の日付が今日より後です";
    if (fields.clock < 0 || fields.clock >= 1) return "記録の時刻が1日の中にありません";
    return std::nullopt;
}

Expected<AppendDone> ResultsFile::AppendResultRecord(const RunToRecord& run,
                                                     std::span<const AnswerRecord> answers) {
    const auto appendFailure = [&](const Failure& cause, const std::string& description) {
        return failure(std::string(kAppendFailure) + description, cause.error);
    };
    ClosesOnExit closes(m_file);
    if (auto locked = openWithAppendLock(m_file, m_path, m_wait); !locked) {
        return appendFailure(locked.error(), locked.error().problem);
    }
    // A change that a crash cut short is finished first, silently: a child's run is no moment
    // for the story.
    InterruptedMove interrupted;
    if (auto finished = recoverInterruptedChange(m_file, m_path, interrupted); !finished) {
        return appendFailure(finished.error(), finished.error().problem);
    }
    // From here the lock is held: nobody else can choose the same position. The length comes
    // from the server now, never from a size cached on this machine (see RecordFile::length).
    const Expected<std::uint64_t> measured =
        retryingFileStep([&] { return m_file.length(); }, m_wait);
    if (!measured) return appendFailure(measured.error(), measured.error().problem);
    const std::uint64_t oldLength = *measured;
    const std::uint64_t position = oldLength / ResultRecord::kSize * ResultRecord::kSize;
    // Before the copy: a file that takes no more records is not worth holding the lock to copy.
    if (position + ResultRecord::kSize > kAppendLockOffset) {
        return failure(std::string(kAppendFailure) +
                       "ファイルが大きくなりすぎて、これ以上記録できません");
    }
    const LocalDateTime now = m_clock.now();
    // Whatever happens to the copy, the run is recorded.
    AppendDone done;
    if (auto copied = takeDailyBackup(m_file, oldLength, m_path, now.date); !copied) {
        done.backupProblem = std::move(copied).error();
    }
    if (auto copied = takeDailyBackupOfHistory(m_path, now.date); !copied && !done.backupProblem) {
        done.backupProblem = std::move(copied).error();
    }
    const ResultRecord record = recordOf(run, now);
    const RecordBytes bytes = encodeRecord(record);
    if (auto written = m_file.writeDurably(position, bytes); !written) {
        const Failure& error = written.error();
        if (cuttingBackIsSafeAfter(error.error)) {
            // The next append writes over a partial record left here, but the teacher hears of it.
            if (auto cutBack = m_file.truncate(oldLength); !cutBack) {
                return appendFailure(error, error.problem +
                                                "（書きかけの記録を取り除けませんでした：" +
                                                cutBack.error().problem + "）");
            }
        }
        return appendFailure(error, error.problem);
    }
    if (m_answersFile && !answers.empty()) {
        const RunIdentity identity{record.RecordDate, record.RecordClock, record.StudentIndex,
                                   record.LevelIndex};
        const AnswersAppendProblems problems =
            appendRunAnswers(*m_answersFile, m_path,
                             {identity, std::vector(answers.begin(), answers.end())}, now.date);
        logAnswersProblems(m_path, now, problems);
        done.answersProblem = problems.answers;
        if (!done.backupProblem) done.backupProblem = problems.backup;
    }
    m_file.unlock();
    return done;
}

Expected<void> ResultsFile::checkWritable() {
    ClosesOnExit closes(m_file);
    int notFoundTries = 0;
    if (auto opened = retryingFileStep([&] { return m_file.open(m_path); }, m_wait, &notFoundTries);
        !opened) {
        const FileError& error = opened.error().error;
        if (error.kind == FileErrorKind::NotFound) {
            return failure(
                "ファイルがありません3" + error.description + std::to_string(error.number), error);
        }
        return failure(std::string(kAppendFailure) + error.description, error);
    }
    return {};
}

Expected<void> ResultsFile::LoadResultRecords(LoadedRecords& records, CountTables& counts) {
    // What a failure names: the step's marker and the last record read.
    int marker = 3;
    LoadedRecord current;
    std::uint64_t recordNumber = 0;
    const auto loadFailure = [&](const FileError& error) {
        if (error.kind == FileErrorKind::NotFound) {
            return failure("ファイルがありません" + std::to_string(marker) + error.description +
                               std::to_string(error.number),
                           error);
        }
        // Deliberately shaped as this message has always been (the number twice, "/name=" empty,
        // "/time=" twice): a teacher reading it out is understood by whoever helps.
        const std::string number = std::to_string(error.number);
        return failure(
            "成績ランダムファイル表示" + std::to_string(marker) + number + error.description +
                number + "/date" + shortestText(current.date) +
                "/i=" + std::to_string(recordNumber) + "/time=" + shortestText(current.clock) +
                "/name=" + "/Bangou=" + std::to_string(current.student) +
                "/level=" + std::to_string(current.level) +
                "/time=" + std::to_string(current.seconds) + "line" + std::to_string(marker),
            error);
    };

    int notFoundTries = 0;
    RecordReadPolicy policy{RecordSelection::newest(LoadedRecords::kLoadWindow),
                            WhenMissing::IsCreated};
    policy.step = [&](const ReadStepAction& step) {
        return retryingFileStep(step, m_wait, &notFoundTries);
    };
    counts.BestTime.fill(kNoTime);
    records.entries.clear();
    std::optional<std::string> unusable;
    RecordReadEnd end;
    const Expected<void> read = readRecords(
        m_file, m_path, policy,
        [&](const RecordBlock& block) {
            for (std::size_t i = 0; i < block.count(); ++i) {
                const LoadedRecord record = decodeRunFields(block.record(i));
                if (!fitsTables(record)) {
                    current = record;
                    recordNumber = block.first + i;
                    unusable = *indexProblemOf(record);
                    return false;
                }
                // A record whose date or clock is no time (written by something else, or damaged)
                // cannot be placed in any window: it is passed over rather than stopping every
                // machine of the classroom at every count.
                if (!hasValidTimes(record)) continue;
                std::int32_t& best = counts.BestTime.at(record.level, record.student);
                if (record.seconds < best) best = record.seconds;
                if (record.date >= 0 && record.student != 0 && record.level >= 1) {
                    records.entries.push_back(record);
                }
            }
            current = decodeRunFields(block.record(block.count() - 1));
            recordNumber = block.first + block.count() - 1;
            return true;
        },
        &end);
    if (!read) {
        marker = end.stage == RecordReadEnd::Stage::Opening        ? 3
                 : end.stage == RecordReadEnd::Stage::AskingLength ? 4
                                                                   : 5;
        return loadFailure(read.error().error);
    }
    if (unusable) {
        marker = 8;
        return loadFailure(unusableRecord(*unusable));
    }

    for (int level = 1; level <= kHighestLevel; ++level) {
        std::int32_t levelBest = kNoTime;
        for (int student = 1; student <= kHighestRankedStudent; ++student) {
            levelBest = std::min(levelBest, counts.BestTime.at(level, student));
        }
        counts.LevelBestTime.at(level) = levelBest;
    }
    return {};
}

}  // namespace gaisan

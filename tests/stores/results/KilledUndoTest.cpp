#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "platform/Clock.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/DeleteJournal.h"
#include "stores/results/InsertJournal.h"
#include "stores/results/InterruptedChange.h"
#include "stores/results/RecordsAdministration.h"
#include "stores/results/ResultsFile.h"
#include "support/ChangeOutcomes.h"
#include "support/ExpectedAssertions.h"
#include "support/HistoryFiles.h"
#include "support/RealDisk.h"
#include "support/RecordFiles.h"
#include "support/ReportingProcesses.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

using Kind = HistoryEntry::Kind;

/// A run, told apart from every other by its student and its time: the seed's runs are student
/// 0's, each appender has a student of its own and rising times.
using RunId = std::pair<int, int>;

constexpr int kSeedRuns = 2000;
constexpr int kAppenders = 4;
constexpr int kTeachers = 2;
constexpr int kKills = 64;

RunId runOf(std::span<const std::byte, ResultRecord::kSize> bytes) {
    const LoadedRecord fields = decodeRunFields(bytes);
    return {fields.student, fields.seconds};
}

std::uint64_t wholeUnits(const std::filesystem::path& file, std::uint64_t size) {
    std::error_code missing;
    const std::uintmax_t length = std::filesystem::file_size(file, missing);
    return missing ? 0 : length / size;
}

/// What a process tells the supervisor: an appender the run it saw recorded, a teacher the
/// outcome of a change.
struct Report {
    std::int32_t student = 0;  ///< the appender's student; -1 for a teacher
    std::int32_t value = 0;    ///< the run's seconds, or the teacher's outcome
};

/// One classroom process: an appender of one student's runs, or a teacher.
struct Process {
    pid_t pid = 0;
    int student = 0;       ///< the appender's student; 0 for a teacher
    int firstSeconds = 0;  ///< where the appender's run times began in this life
};

/// Appenders and teachers deleting records and undoing changes, all at once on a real disk,
/// each killed at random moments and started again, as machines are switched off in a lesson:
/// afterwards the file and the change history tell the same story. Every run is in the file
/// once exactly when its history ends without a delete, and gone when it ends with one; a run's
/// entries alternate between delete and put-back, each put-back taking back the run's last
/// delete; nothing is left half done; and every run put back is in its old place, so that each
/// machine's runs still stand in the order they were recorded.
TEST(KilledUndo, TeachersUndoingWhileMachinesAreKilledKeepFileAndHistoryInStep) {
    testing::TempFolder folder{testing::realDiskFolder()};
    const auto path = folder / "成績累積データ.dat";
    {
        std::vector<ResultRecord> seed;
        for (int seconds = 1; seconds <= kSeedRuns; ++seconds) {
            seed.push_back(testing::runRecord(0, 1, seconds));
        }
        testing::appendRecords(path, seed);
    }
    testing::ReportingProcesses<Report> machines;
    const auto startAppender = [&](int student, int firstSeconds) {
        return machines.start([&, student, firstSeconds] {
            std::mt19937 random(static_cast<unsigned>(student * 100000 + firstSeconds));
            SystemClock clock;
            PosixRecordFile file;
            ResultsFile results(file, path, clock, [](int) { usleep(1000); });
            for (std::int32_t seconds = firstSeconds;; ++seconds) {
                if (!results.AppendResultRecord({student, 1, seconds, std::nullopt})) _exit(1);
                machines.tell({student, seconds});
                // Between runs the lock is the teachers' now and then, as in a lesson.
                usleep(static_cast<useconds_t>(1000 + random() % 4000));
            }
        });
    };
    const auto startTeacher = [&](unsigned seed) {
        return machines.start([&, seed] {
            std::mt19937 random(seed);
            SystemClock clock;
            PosixRecordFile file;
            RecordsAdministration administration(
                file, path, [](int) { usleep(1000); }, clock);
            for (;;) {
                RecordsAdministration::Result result;
                if (random() % 100 < 40) {
                    const std::uint64_t records = wholeUnits(path, ResultRecord::kSize);
                    result = administration.deleteRecord(
                        1 + random() % std::max<std::uint64_t>(records, 1),
                        [](auto) { return true; });
                } else {
                    // Mostly the newest change, as a teacher who just made a mistake takes it back;
                    // now and then one of the few before it, which a later change may block.
                    const std::uint64_t entries =
                        wholeUnits(historyFileOf(path), HistoryEntry::kSize);
                    if (entries == 0) continue;
                    const std::uint64_t back = random() % 3 == 0 ? random() % 4 : 0;
                    result = administration.undo(entries > back ? entries - back : entries,
                                                 [](const HistoryEntry&) { return true; });
                }
                const testing::ChangeSeen seen = testing::outcomeOf(result);
                if (seen == testing::ChangeSeen::Failed || seen == testing::ChangeSeen::Refused ||
                    seen == testing::ChangeSeen::NotTheRecord) {
                    std::fprintf(stderr, "teacher: outcome %d: %s\n", static_cast<int>(seen),
                                 testing::whyOf(result).c_str());
                    _exit(3);
                }
                machines.tell({-1, static_cast<std::int32_t>(seen)});
                usleep(static_cast<useconds_t>(random() % 3000));
            }
        });
    };

    std::set<RunId> acknowledged;
    std::map<int, int> lastAcknowledged;  // student → the highest seconds acknowledged
    int undosBlocked = 0;
    int changesTold = 0;  // changes a teacher saw done
    const auto take = [&](const Report& report) {
        if (report.student >= 0) {
            acknowledged.insert({report.student, report.value});
            lastAcknowledged[report.student] =
                std::max(lastAcknowledged[report.student], report.value);
        } else if (report.value == static_cast<std::int32_t>(testing::ChangeSeen::Blocked)) {
            ++undosBlocked;
        } else if (report.value == static_cast<std::int32_t>(testing::ChangeSeen::Done)) {
            ++changesTold;
        }
    };

    std::mt19937 random(20261212);
    std::vector<Process> processes;
    for (int student = 1; student <= kAppenders; ++student) {
        processes.push_back({startAppender(student, 1), student, 1});
    }
    for (int teacher = 0; teacher < kTeachers; ++teacher) {
        processes.push_back({startTeacher(static_cast<unsigned>(random())), 0, 0});
    }
    const auto started = std::chrono::steady_clock::now();
    int kills = 0;
    int teacherKills = 0;
    for (; kills < kKills; ++kills) {
        usleep(static_cast<useconds_t>(random() % 150'000));
        machines.drain(take);
        // Half the kills go to a teacher, whose changes have the most steps to cut.
        Process& victim = random() % 2 == 0 ? processes[kAppenders + random() % kTeachers]
                                            : processes[random() % kAppenders];
        teacherKills += victim.student == 0 ? 1 : 0;
        int status = 0;
        if (!machines.kill(victim.pid, status)) {
            ADD_FAILURE() << (victim.student ? "an appender" : "a teacher")
                          << " ended by itself: " << status;
            victim.pid = 0;
            break;
        }
        machines.drain(take);
        if (victim.student) {
            // The run after the last acknowledged one (or the first of this life) may have been
            // recorded without its acknowledgement: the new life starts after it, so that every
            // run stays unique and each student's times keep rising.
            const int reached = std::max(lastAcknowledged[victim.student], victim.firstSeconds - 1);
            victim.firstSeconds = reached + 2;
            victim.pid = startAppender(victim.student, victim.firstSeconds);
        } else {
            victim.pid = startTeacher(static_cast<unsigned>(random()));
        }
    }
    std::vector<pid_t> pids;
    for (const Process& process : processes) pids.push_back(process.pid);
    machines.stop(pids, take);
    const auto ran = std::chrono::steady_clock::now() - started;

    // The next writer finishes whatever the last kills cut short; a check after it finds nothing.
    InterruptedMove finalFound;
    InterruptedMove checkFound;
    for (InterruptedMove* found : {&finalFound, &checkFound}) {
        PosixRecordFile file;
        ASSERT_TRUE(testing::succeeded(file.open(path)));
        ASSERT_TRUE(testing::succeeded(file.lockForAppend()));
        ASSERT_TRUE(testing::succeeded(recoverInterruptedChange(file, path, *found)));
        file.close();
    }
    EXPECT_EQ(checkFound.finding, InterruptedMove::Finding::None);
    EXPECT_FALSE(std::filesystem::exists(deleteJournalPathOf(path)));
    EXPECT_FALSE(std::filesystem::exists(insertJournalPathOf(path)));
    EXPECT_FALSE(std::filesystem::exists(pendingChangeFileOf(path)));

    // The history, replayed run by run.
    struct RunHistory {
        bool deleted = false;           ///< its newest entry is a delete
        std::uint64_t lastDelete = 0;   ///< the number of its newest delete
        std::uint64_t lastPutBack = 0;  ///< the number of its newest put-back
        RecordBytes record{};           ///< the record its newest entry names
    };
    std::map<RunId, RunHistory> histories;
    int deletes = 0;
    int putBacks = 0;
    int deletedAgain = 0;
    const std::vector<HistoryEntry> entries = testing::historyEntriesOf(path);
    for (std::uint64_t number = 1; number <= entries.size(); ++number) {
        const HistoryEntry& entry = entries[number - 1];
        ASSERT_NE(entry.kind, Kind::WriteBack) << "entry " << number;
        const RecordBytes& named = recordShownLast(entry);
        const RunId run = runOf(named);
        RunHistory& history = histories[run];
        const std::string which = "entry " + std::to_string(number) + " of run " +
                                  std::to_string(run.first) + "/" + std::to_string(run.second);
        if (entry.kind == Kind::Delete) {
            ++deletes;
            EXPECT_FALSE(history.deleted) << which << ": a run deleted twice over";
            // A delete that undoes names the run's own newest put-back.
            if (entry.undoes != 0) {
                ++deletedAgain;
                EXPECT_EQ(entry.undoes, history.lastPutBack) << which;
            }
            history.deleted = true;
            history.lastDelete = number;
        } else {
            ++putBacks;
            EXPECT_TRUE(history.deleted) << which << ": a run put back that was not deleted";
            EXPECT_EQ(entry.undoes, history.lastDelete) << which;
            history.deleted = false;
            history.lastPutBack = number;
        }
        history.record = named;
    }

    // The file against the acknowledgements and the history.
    const std::string bytes = testing::readBytes(path);
    ASSERT_EQ(bytes.size() % ResultRecord::kSize, 0u);
    std::map<RunId, int> copies;
    std::map<int, int> lastSeconds;  // student → the time of their run found last in the file
    for (std::size_t at = 0; at < bytes.size(); at += ResultRecord::kSize) {
        const std::span<const std::byte, ResultRecord::kSize> record(
            reinterpret_cast<const std::byte*>(bytes.data() + at), ResultRecord::kSize);
        const RunId run = runOf(record);
        const std::string where = "record " + std::to_string(at / ResultRecord::kSize + 1) +
                                  ", run " + std::to_string(run.first) + "/" +
                                  std::to_string(run.second);
        EXPECT_EQ(++copies[run], 1) << where << " is in the file twice";
        const auto last = lastSeconds.find(run.first);
        if (last != lastSeconds.end()) {
            EXPECT_GT(run.second, last->second) << where << ": out of its student's order";
        }
        lastSeconds[run.first] = run.second;
        if (const auto history = histories.find(run); history != histories.end()) {
            EXPECT_FALSE(history->second.deleted) << where << ": its history ends deleted";
            EXPECT_TRUE(std::equal(record.begin(), record.end(), history->second.record.begin()))
                << where << ": not the record its history names";
        }
    }
    std::set<RunId> expected = acknowledged;
    for (int seconds = 1; seconds <= kSeedRuns; ++seconds) expected.insert({0, seconds});
    int missing = 0;
    for (const RunId& run : expected) {
        const auto history = histories.find(run);
        const bool deleted = history != histories.end() && history->second.deleted;
        const int found = copies.contains(run) ? copies.at(run) : 0;
        if (found != (deleted ? 0 : 1) && ++missing <= 10) {
            ADD_FAILURE() << "run " << run.first << "/" << run.second << " is in the file " << found
                          << " times, its history ends " << (deleted ? "deleted" : "not deleted");
        }
    }
    EXPECT_EQ(missing, 0);

    std::cout << "in " << folder.path() << ", "
              << std::chrono::duration_cast<std::chrono::milliseconds>(ran).count()
              << " ms: " << acknowledged.size() << " runs appended, " << deletes << " deletes ("
              << deletedAgain << " undoing a put-back), " << putBacks << " put-backs, "
              << undosBlocked << " undos blocked, " << kills << " kills (" << teacherKills
              << " of a teacher), " << deletes + putBacks - changesTold
              << " changes in the history whose teacher was killed before seeing them done; "
              << copies.size() << " records left; the final writer found "
              << (finalFound.finding == InterruptedMove::Finding::None
                      ? std::string("nothing cut short")
                      : finalFound.sentence())
              << "\n";
    EXPECT_GT(acknowledged.size(), 100u) << "the appenders hardly ran";
    EXPECT_GT(putBacks, 0) << "the teachers put nothing back";
}

}  // namespace
}  // namespace gaisan

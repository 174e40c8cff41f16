#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <random>
#include <set>

#include "platform/PosixRecordFile.h"
#include "rules/analysis/MistakeAnalysis.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/ResultsFile.h"
#include "support/RealDisk.h"
#include "support/RecordFiles.h"
#include "support/ReportingProcesses.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

constexpr CivilDate kToday{2026, 12, 10};
/// Runs a machine records at most: its runs' clocks stay apart from every other machine's.
constexpr int kRunsEach = 1000;

/// Machine `machine`'s clock at its run `run`: a second of its own, so that every run is told
/// apart by its date and clock, as runs that take a minute each are in a classroom.
class MachineClock final : public Clock {
public:
    explicit MachineClock(int machine) : m_machine(machine) {}
    LocalDateTime now() const override {
        return {kToday, static_cast<double>(m_machine * kRunsEach + m_run)};
    }
    std::int64_t tickMilliseconds() const override { return 0; }
    void setRun(int run) { m_run = run; }

private:
    int m_machine;
    int m_run = 0;
};

/// The answers machine `machine` gives in run `run`: numbers that name the run, so that answers
/// found with another run's record show at once.
std::vector<AnswerRecord> answersOf(int machine, int run) {
    std::vector<AnswerRecord> answers(static_cast<std::size_t>(1 + (machine + run) % 14));
    for (std::size_t i = 0; i < answers.size(); ++i) {
        answers[i].first = machine;
        answers[i].second = run;
        answers[i].tenths = static_cast<std::uint16_t>(i);
        answers[i].boxes = {"100", std::to_string(run % 100000), ""};
        answers[i].wrongBoxes = 0b100;
    }
    return answers;
}

/// Machines recording runs with their answers while machines are switched off at random moments,
/// several of them writing the same students' answers files: every run's answers are whole or
/// absent, never another run's, never twice; every run a machine saw recorded without an answers
/// problem has them.
TEST(KilledAnswers, MachinesKilledWhileRecordingLeaveEveryRunsAnswersWholeOrAbsent) {
    constexpr std::size_t kAlive = 8;
    constexpr int kKills = 70;
    testing::TempFolder folder{testing::realDiskFolder()};
    const auto path = folder / "成績累積データ.dat";
    struct Ack {
        std::int32_t machine;
        std::int32_t run;
        std::int32_t answersWritten;
    };
    testing::ReportingProcesses<Ack> machines;
    const auto startMachine = [&](int machine) {
        return machines.start([&, machine] {
            MachineClock clock(machine);
            PosixRecordFile file;
            PosixRecordFile answersFile;
            ResultsFile results(file, path, clock, [](int) { usleep(1000); });
            results.keepAnswers(answersFile);
            for (std::int32_t run = 1; run < kRunsEach; ++run) {
                clock.setRun(run);
                // Three students, so that machines write the same answers files.
                const auto recorded = results.AppendResultRecord(
                    {1 + run % 3, machine, run, std::nullopt}, answersOf(machine, run));
                if (!recorded) _exit(1);
                machines.tell({machine, run, recorded->answersProblem ? 0 : 1});
            }
            pause();
        });
    };
    std::map<std::pair<int, int>, bool> acknowledged;  // run → its answers were written
    const auto acknowledge = [&](const Ack& ack) {
        acknowledged[{ack.machine, ack.run}] = ack.answersWritten != 0;
    };

    std::mt19937 random(20261211);
    std::vector<pid_t> alive;
    int nextMachine = 1;
    while (alive.size() < kAlive) alive.push_back(startMachine(nextMachine++));
    for (int kill = 0; kill < kKills; ++kill) {
        usleep(random() % 20000);
        machines.drain(acknowledge);
        pid_t& victim = alive[random() % alive.size()];
        int status = 0;
        ASSERT_TRUE(machines.kill(victim, status)) << "a machine failed by itself: " << status;
        victim = startMachine(nextMachine++);
    }
    machines.stop(alive, acknowledge);

    // Every record names its run: the machine as its level, the run as its time.
    std::map<RunIdentity, std::pair<int, int>,
             decltype([](const RunIdentity& a, const RunIdentity& b) {
                 return std::tuple(a.date, a.clock, a.student, a.level) <
                        std::tuple(b.date, b.clock, b.student, b.level);
             })>
        records;
    for (const ResultRecord& record : testing::recordsIn(path)) {
        const RunIdentity run{record.RecordDate, record.RecordClock, record.StudentIndex,
                              record.LevelIndex};
        EXPECT_TRUE(records.emplace(run, std::pair(record.LevelIndex, record.ResultSeconds)).second)
            << "a run recorded twice";
    }
    std::set<std::pair<int, int>> withAnswers;
    std::uint64_t bytesLeftOut = 0;
    for (const AnswersFileName& name : answersFilesOf(path).files) {
        PosixRecordFile file;
        const Expected<AnswersFileRead> read =
            readAnswersFile(file, name.path, [&](const RunBlock& block) {
                const RunAnswers run = block.decoded();
                const auto record = records.find(run.run);
                ASSERT_NE(record, records.end()) << "answers of a run that was never recorded";
                const auto [machine, number] = record->second;
                EXPECT_EQ(run.answers, answersOf(machine, number)) << machine << "/" << number;
                EXPECT_TRUE(withAnswers.insert({machine, number}).second)
                    << "answers written twice: " << machine << "/" << number;
            });
        ASSERT_TRUE(read) << read.error().text();
        bytesLeftOut += read->bytesLeftOut;
    }
    for (const auto& [run, answersWritten] : acknowledged) {
        EXPECT_TRUE(records.contains(
            {static_cast<double>(daySerial(kToday)),
             static_cast<double>(run.first * kRunsEach + run.second) / 86400.0,
             static_cast<std::int16_t>(1 + run.second % 3), static_cast<std::int16_t>(run.first)}))
            << "recorded but lost: " << run.first << "/" << run.second;
        if (answersWritten) {
            EXPECT_TRUE(withAnswers.contains(run))
                << "answers written but lost: " << run.first << "/" << run.second;
        }
    }
    EXPECT_GT(acknowledged.size(), 100u) << "the machines hardly ran";
    // What a kill left is passed over by every reader; say how much, for whoever reads the log.
    std::cout << records.size() << " runs recorded, " << acknowledged.size() << " acknowledged, "
              << withAnswers.size() << " with answers, " << bytesLeftOut
              << " bytes of cut-short answers passed over\n";
}

}  // namespace
}  // namespace gaisan

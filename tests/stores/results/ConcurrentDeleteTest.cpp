#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <random>
#include <set>

#include "platform/Clock.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/RecordsAdministration.h"
#include "stores/results/ResultsFile.h"
#include "support/ChangeOutcomes.h"
#include "support/ExpectedAssertions.h"
#include "support/ForwardingRecordFile.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// Record n of the file the deletes work on; appended records have students 1..8 instead.
ResultRecord initialRecord(int n) { return testing::runRecord(1000 + n % 3000, 1, n); }

using RecordKey = std::pair<int, int>;  // student, seconds: unique in these files
RecordKey keyOf(const ResultRecord& record) { return {record.StudentIndex, record.ResultSeconds}; }

/// The keys of the file's whole records, in file order; quicker than decoding their texts.
std::vector<RecordKey> keysIn(const std::filesystem::path& file) {
    const std::string bytes = testing::readBytes(file);
    std::vector<RecordKey> keys;
    for (std::size_t at = 0; at + ResultRecord::kSize <= bytes.size(); at += ResultRecord::kSize) {
        const LoadedRecord fields = decodeRunFields(std::span<const std::byte, ResultRecord::kSize>(
            reinterpret_cast<const std::byte*>(bytes.data() + at), ResultRecord::kSize));
        keys.emplace_back(fields.student, fields.seconds);
    }
    return keys;
}

/// Record `number` of the file.
ResultRecord initialRecordAt(const std::filesystem::path& file, int number) {
    std::ifstream stream(file, std::ios::binary);
    stream.seekg(static_cast<std::streamoff>((number - 1) * ResultRecord::kSize));
    RecordBytes bytes;
    stream.read(reinterpret_cast<char*>(bytes.data()), bytes.size());
    return decodeRecord(bytes);
}

/// Machines that append until the folder holds "stop", each writing how many it appended.
class Appenders {
public:
    Appenders(const testing::TempFolder& folder, std::filesystem::path file, int machines)
        : m_folder(folder) {
        for (int machine = 1; machine <= machines; ++machine) {
            const pid_t pid = fork();
            if (pid == 0) {
                SystemClock clock;
                PosixRecordFile recordFile;
                ResultsFile results(recordFile, file, clock, [](int) { usleep(1000); });
                int appended = 0;
                while (!std::filesystem::exists(folder / "stop")) {
                    if (!results.AppendResultRecord({machine, 1, appended + 1, std::nullopt}))
                        _exit(1);
                    ++appended;
                    usleep(2000);
                }
                std::ofstream(folder / ("appended-" + std::to_string(machine))) << appended;
                _exit(0);
            }
            m_machines.push_back(pid);
        }
    }

    /// Stops the machines; how many records each appended, by student.
    std::map<int, int> stop() {
        std::ofstream(m_folder / "stop") << "";
        std::map<int, int> appended;
        for (std::size_t i = 0; i < m_machines.size(); ++i) {
            int status = 0;
            waitpid(m_machines[i], &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            const int machine = static_cast<int>(i) + 1;
            std::ifstream(m_folder / ("appended-" + std::to_string(machine))) >> appended[machine];
        }
        return appended;
    }

private:
    const testing::TempFolder& m_folder;
    std::vector<pid_t> m_machines;
};

/// Every record appended is there exactly once, every initial record except the deleted ones is
/// there exactly once, and nothing else is.
void expectEveryRecordOnce(const std::filesystem::path& file, const std::map<int, int>& appended,
                           int initialRecords, const std::set<RecordKey>& deleted) {
    EXPECT_EQ(std::filesystem::file_size(file) % ResultRecord::kSize, 0u);
    std::map<RecordKey, int> seen;
    for (const RecordKey& key : keysIn(file)) ++seen[key];
    std::map<RecordKey, int> expected;
    for (const auto& [machine, count] : appended) {
        for (int i = 1; i <= count; ++i) expected[{machine, i}] = 1;
    }
    for (int n = 1; n <= initialRecords; ++n) {
        if (!deleted.contains(keyOf(initialRecord(n)))) expected[keyOf(initialRecord(n))] = 1;
    }
    EXPECT_EQ(seen.size(), expected.size());
    int wrong = 0;
    for (const auto& [key, count] : seen) {
        if (expected[key] != count && ++wrong <= 5) {
            ADD_FAILURE() << "student " << key.first << ", " << key.second << " s: " << count
                          << " times";
        }
    }
    EXPECT_EQ(wrong, 0);
}

/// Eight machines append while a teacher deletes 50 records one by one: the deletes take the
/// append lock and work in place, so no appended record is lost or doubled.
TEST(ConcurrentDelete, DeletesWhileEightMachinesAppendLoseNothing) {
    testing::TempFolder folder;
    const auto path = folder / "成績累積データ.dat";
    constexpr int kInitial = 2000;
    std::vector<ResultRecord> initial;
    for (int n = 1; n <= kInitial; ++n) initial.push_back(initialRecord(n));
    testing::appendRecords(path, initial);

    Appenders appenders(folder, path, 8);
    PosixRecordFile recordFile;
    const SystemClock clock;
    RecordsAdministration administration(
        recordFile, path, [](int) { usleep(1000); }, clock);
    std::mt19937 random(11);
    std::set<RecordKey> deleted;
    while (deleted.size() < 50) {
        // The teacher's snapshot: the list as read a moment ago, without the lock.
        const std::vector<ResultRecord> snapshot = testing::recordsIn(path);
        const std::size_t chosen =
            random() % std::min<std::size_t>(snapshot.size(), kInitial - deleted.size());
        const auto result = administration.deleteRecord(
            chosen + 1, RecordsAdministration::isExactly(encodeRecord(snapshot[chosen])));
        ASSERT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Done);
        deleted.insert(keyOf(snapshot[chosen]));
    }
    const std::map<int, int> appended = appenders.stop();
    for (const auto& [machine, count] : appended) EXPECT_GT(count, 0) << machine;
    expectEveryRecordOnce(path, appended, kInitial, deleted);
    EXPECT_FALSE(std::filesystem::exists(folder / "成績累積データtemp.dat"));
}

/// The real file, except that the process is killed at a chosen moment of a delete: before or
/// after one of its writes or its cut, or while it still holds the lock at the end.
class KilledPartWayFile final : public testing::ForwardingRecordFile {
public:
    explicit KilledPartWayFile(int killAtMoment) : m_killAt(killAtMoment) {}
    void close() override {
        moment();
        m_file.close();
    }
    Expected<void> writeDurably(std::uint64_t offset, std::span<const std::byte> bytes) override {
        moment();
        auto error = m_file.writeDurably(offset, bytes);
        moment();
        return error;
    }
    Expected<void> truncate(std::uint64_t length) override {
        moment();
        auto error = m_file.truncate(length);
        moment();
        return error;
    }

private:
    void moment() {
        if (++m_moments == m_killAt) kill(getpid(), SIGKILL);
    }

    int m_killAt;
    int m_moments = 0;
};

/// A delete killed at every step of its work, and at random moments, while three machines append:
/// after the next append every appended record is there once, the deleted record is gone or
/// still there once, nothing else is doubled, and no journal is left.
TEST(ConcurrentDelete, ADeleteKilledAtAnyPointIsFinishedByTheNextAppend) {
    // A killed process leaves what it wrote in memory to the system, so the test needs no disk:
    // in memory, where syncs cost nothing, a hundred kills take seconds rather than half a minute.
    const std::filesystem::path memory = "/dev/shm";
    testing::TempFolder folder(
        std::filesystem::is_directory(memory) ? memory : std::filesystem::temp_directory_path());
    const auto path = folder / "成績累積データ.dat";
    const auto journal = folder / "成績累積データtemp.dat";
    // Enough records after the deleted ones that their move takes two writes.
    constexpr int kInitial = 17000;
    constexpr int kKills = 104;
    // A delete of two writes passes 7 moments: before and after each write and the cut, and the
    // close that releases the lock once the journal is gone. Moment 0 is a kill from outside at
    // a random time.
    constexpr int kMoments = 7;
    std::vector<ResultRecord> initial;
    for (int n = 1; n <= kInitial; ++n) initial.push_back(initialRecord(n));
    testing::appendRecords(path, initial);

    Appenders appenders(folder, path, 3);
    std::mt19937 random(12);
    std::set<RecordKey> deleted;
    SystemClock clock;
    PosixRecordFile checkFile;
    ResultsFile results(checkFile, path, clock, [](int) { usleep(1000); });
    int checkAppends = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const int moment = kill % (kMoments + 1);
        const int chosen = 1 + static_cast<int>(random() % 300);
        const ResultRecord target = initialRecordAt(path, chosen);
        const pid_t teacher = fork();
        ASSERT_GE(teacher, 0);
        if (teacher == 0) {
            KilledPartWayFile recordFile(moment);
            const SystemClock clock;
            RecordsAdministration administration(
                recordFile, path, [](int) { usleep(1000); }, clock);
            // The file kills this process part way; the delete never reports.
            static_cast<void>(administration.deleteRecord(
                chosen, RecordsAdministration::isExactly(encodeRecord(target))));
            _exit(0);
        }
        if (moment == 0) {
            usleep(static_cast<useconds_t>(random() % 40000));
            ::kill(teacher, SIGKILL);
        }
        int status = 0;
        waitpid(teacher, &status, 0);

        // The next append, made here so that the state after it can be looked at.
        ASSERT_TRUE(
            testing::succeeded(results.AppendResultRecord({9, 1, ++checkAppends, std::nullopt})));
        EXPECT_FALSE(std::filesystem::exists(journal)) << "kill " << kill;
        std::map<RecordKey, int> seen;
        for (const RecordKey& key : keysIn(path)) ++seen[key];
        for (const auto& [key, count] : seen) {
            ASSERT_EQ(count, 1) << "kill " << kill << " at moment " << moment << ": student "
                                << key.first << ", " << key.second << " s";
        }
        if (!seen.contains(keyOf(target))) deleted.insert(keyOf(target));
    }
    std::map<int, int> appended = appenders.stop();
    appended[9] = checkAppends;
    expectEveryRecordOnce(path, appended, kInitial, deleted);
    // The kills at the moments after the journal was written always end in a finished delete.
    EXPECT_GE(deleted.size(), static_cast<std::size_t>(kKills * (kMoments - 1) / (kMoments + 1)));
}

}  // namespace
}  // namespace gaisan

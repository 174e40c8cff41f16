#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

#include "platform/Clock.h"
#include "platform/PosixRecordFile.h"
#include "stores/results/ChangeHistory.h"
#include "stores/results/RecordsAdministration.h"
#include "stores/results/ResultsFile.h"
#include "support/ChangeOutcomes.h"
#include "support/ExpectedAssertions.h"
#include "support/ForwardingRecordFile.h"
#include "support/RealDisk.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

using namespace std::chrono_literals;

constexpr std::uint64_t kPageSize = 4096;

/// How many kills of each kind a run makes: GAISAN_DELETE_KILLS for a longer run by hand.
int killsToMake() {
    const char* wanted = std::getenv("GAISAN_DELETE_KILLS");
    return wanted ? std::max(1, std::atoi(wanted)) : 30;
}

std::string bytesOf(const std::vector<ResultRecord>& records) {
    std::string bytes;
    for (const ResultRecord& record : records) {
        const RecordBytes encoded = encodeRecord(record);
        bytes.append(reinterpret_cast<const char*>(encoded.data()), encoded.size());
    }
    return bytes;
}

/// The real file, except that the process is killed once the change's writes to the results file
/// reach a chosen byte. The write that reaches it is left as the system leaves a write that a
/// kill interrupts: its whole pages of the file's cache up to that byte written, the rest not.
class KilledInAWriteFile final : public testing::ForwardingRecordFile {
public:
    explicit KilledInAWriteFile(std::uint64_t killAtByte) : m_killAt(killAtByte) {}
    Expected<void> writeDurably(std::uint64_t offset, std::span<const std::byte> bytes) override {
        if (m_written + bytes.size() <= m_killAt) {
            m_written += bytes.size();
            return m_file.writeDurably(offset, bytes);
        }
        const std::uint64_t reached = offset + (m_killAt - m_written);
        const std::uint64_t wholePages = reached / kPageSize * kPageSize;
        // The kill follows at once: what this partial write reports no longer matters.
        if (wholePages > offset) {
            static_cast<void>(m_file.writeDurably(offset, bytes.first(wholePages - offset)));
        }
        kill(getpid(), SIGKILL);
        return {};
    }
    Expected<void> truncate(std::uint64_t length) override {
        kill(getpid(), SIGKILL);
        return m_file.truncate(length);
    }

private:
    std::uint64_t m_killAt;
    std::uint64_t m_written = 0;
};

/// The two changes that move records through a journal: a delete, and the put-back that undoes
/// it, which moves the same records the other way.
enum class Change { Delete, PutBack };

/// How the test's name and a failure name the change, instead of its bytes.
void PrintTo(Change change, std::ostream* out) {
    *out << (change == Change::Delete ? "Delete" : "PutBack");
}

/// A delete of record 1234 from a file of 200000 records on a real disk, or the put-back of that
/// record, killed part way; the next append must leave, before its own record, exactly the file as
/// it was before the change or exactly as it is after it, byte for byte, and no journal; and the
/// change history must name the change exactly when it took effect.
class KilledDeleteTest : public ::testing::TestWithParam<Change> {
protected:
    static constexpr int kRecords = 200000;
    static constexpr std::uint64_t kDeleted = 1234;

    KilledDeleteTest() {
        std::vector<ResultRecord> records;
        for (int n = 1; n <= kRecords; ++n) {
            records.push_back(testing::runRecord(1 + n % 5000, 1, n));
        }
        std::string whole = bytesOf(records);
        m_deleted = records[kDeleted - 1];
        records.erase(records.begin() + kDeleted - 1);
        std::string withoutIt = bytesOf(records);
        m_before = isPutBack() ? withoutIt : whole;
        m_after = isPutBack() ? whole : withoutIt;
    }

    /// A put-back starts from the file and the history a real delete left: the delete is made
    /// once, as a teacher makes it, and its bytes are what every reset gives back.
    void SetUp() override {
        if (!isPutBack()) return;
        // The whole file: as it is before the delete, and after the put-back.
        writeFiles(m_after, "");
        PosixRecordFile file;
        RecordsAdministration administration(
            file, m_path, [](int) { usleep(1000); }, m_clock);
        ASSERT_EQ(testing::outcomeOf(administration.deleteRecord(
                      kDeleted, RecordsAdministration::isExactly(encodeRecord(m_deleted)))),
                  testing::ChangeSeen::Done);
        ASSERT_EQ(testing::readBytes(m_path), m_before);
        m_historyBefore = testing::readBytes(historyFileOf(m_path));
        ASSERT_EQ(m_historyBefore.size(), HistoryEntry::kSize);
    }

    static bool isPutBack() { return GetParam() == Change::PutBack; }
    static std::string changeName() { return isPutBack() ? "put-back" : "delete"; }

    /// The bytes the change writes to the results file: the records it moves, and for a
    /// put-back the record put back.
    static std::uint64_t bytesWritten() {
        return (kRecords - kDeleted + (isPutBack() ? 1 : 0)) * ResultRecord::kSize;
    }

    /// The change in a process of its own, on `file`, so that it can be killed like a teacher's
    /// machine that loses power.
    pid_t startChange(const std::function<RecordFile&()>& file) {
        const pid_t teacher = fork();
        if (teacher == 0) {
            const SystemClock clock;
            RecordsAdministration administration(
                file(), m_path, [](int) { usleep(1000); }, clock);
            const auto result =
                !isPutBack()
                    ? administration.deleteRecord(
                          kDeleted, RecordsAdministration::isExactly(encodeRecord(m_deleted)))
                    : administration.undo(1, [](const HistoryEntry& entry) {
                          return entry.kind == HistoryEntry::Kind::Delete &&
                                 entry.recordNumber == kDeleted;
                      });
            _exit(result && result->done() ? 0 : 1);
        }
        return teacher;
    }

    static int waitFor(pid_t process) {
        int status = 0;
        waitpid(process, &status, 0);
        return status;
    }

    /// The file and the history as before the change; written without a sync, as a file that
    /// was just appended to is, so that the change's own syncs carry its pages to the disk.
    void reset() { writeFiles(m_before, m_historyBefore); }
    void writeFiles(const std::string& file, const std::string& history) {
        std::error_code ignored;
        std::filesystem::remove(m_journal, ignored);
        std::filesystem::remove(m_putBackJournal, ignored);
        std::filesystem::remove(historyFileOf(m_path), ignored);
        std::filesystem::remove(pendingChangeFileOf(m_path), ignored);
        if (!history.empty()) std::ofstream(historyFileOf(m_path), std::ios::binary) << history;
        std::ofstream(m_path, std::ios::binary | std::ios::trunc) << file;
    }

    /// Appends as the next machine would and checks what it left; `what` says which kill it was.
    void expectBeforeOrAfter(const std::string& what) {
        ASSERT_TRUE(
            testing::succeeded(m_next.AppendResultRecord({9, 1, ++m_appends, std::nullopt})));
        std::string now = testing::readBytes(m_path);
        ASSERT_GE(now.size(), ResultRecord::kSize);
        now.resize(now.size() - ResultRecord::kSize);
        const bool isBefore = now == m_before;
        ASSERT_TRUE(isBefore || now == m_after)
            << what << ": the file is neither as before nor as after the " << changeName();
        EXPECT_FALSE(std::filesystem::exists(m_journal)) << what;
        EXPECT_FALSE(std::filesystem::exists(m_putBackJournal)) << what;
        EXPECT_FALSE(std::filesystem::exists(pendingChangeFileOf(m_path))) << what;
        std::vector<HistoryEntry> history;
        PosixRecordFile historyFile;
        ASSERT_TRUE(testing::succeeded(
            readHistory(historyFile, historyFileOf(m_path),
                        [&](std::uint64_t, const std::optional<HistoryEntry>& entry) {
                            ASSERT_TRUE(entry) << "a damaged history entry";
                            history.push_back(*entry);
                        })));
        // A put-back's history starts with the delete's entry, which stays as it was.
        const std::size_t earlier = m_historyBefore.empty() ? 0 : 1;
        ASSERT_EQ(history.size(), earlier + (isBefore ? 0 : 1))
            << what << ": the history does not match the file";
        EXPECT_EQ(testing::readBytes(historyFileOf(m_path)).substr(0, m_historyBefore.size()),
                  m_historyBefore)
            << what << ": the delete's entry changed";
        if (!isBefore) {
            const HistoryEntry& made = history.back();
            EXPECT_EQ(made.recordNumber, kDeleted);
            if (isPutBack()) {
                EXPECT_EQ(made.kind, HistoryEntry::Kind::PutBack);
                EXPECT_EQ(made.undoes, 1u);
                EXPECT_EQ(made.recordsBefore, kRecords - 1u);
                EXPECT_EQ(made.after, encodeRecord(m_deleted));
                EXPECT_EQ(made.before, RecordBytes{});
            } else {
                EXPECT_EQ(made.kind, HistoryEntry::Kind::Delete);
                EXPECT_EQ(made.undoes, 0u);
                EXPECT_EQ(made.recordsBefore, std::uint64_t{kRecords});
                EXPECT_EQ(made.before, encodeRecord(m_deleted));
            }
        }
        (isBefore ? m_undone : m_finished) += 1;
    }

    void report(const std::string& kind) const {
        std::cout << kind << " in " << m_folder.path() << ": " << m_undone
                  << " left the file as before the " << changeName() << ", " << m_finished
                  << " as after\n";
    }

    testing::TempFolder m_folder{testing::realDiskFolder()};
    std::filesystem::path m_path = m_folder / "成績累積データ.dat";
    std::filesystem::path m_journal = m_folder / "成績累積データtemp.dat";
    std::filesystem::path m_putBackJournal = m_folder / "成績累積データ戻しtemp.dat";
    std::string m_before;
    std::string m_after;
    ResultRecord m_deleted;
    int m_undone = 0;
    int m_finished = 0;
    /// The history the change starts from: empty for a delete, the delete's entry for a put-back.
    std::string m_historyBefore;

private:
    SystemClock m_clock;
    PosixRecordFile m_nextFile;
    ResultsFile m_next{m_nextFile, m_path, m_clock, [](int) { usleep(1000); }};
    int m_appends = 0;
};

/// Kills from outside at moments spread evenly over a change's whole length: reading, the
/// journal's writing, the history's entry, every piece of the moves with its sync, a delete's cut
/// and the journal's removal.
TEST_P(KilledDeleteTest, KilledAtAnyMomentTheNextWriterLeavesTheFileBeforeOrAfter) {
    PosixRecordFile realFile;
    const auto real = [&]() -> RecordFile& { return realFile; };
    reset();
    const auto start = std::chrono::steady_clock::now();
    const int status = waitFor(startChange(real));
    const auto length = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(testing::readBytes(m_path), m_after);

    const int kills = killsToMake();
    std::mt19937 random(16);
    for (int kill = 0; kill < kills; ++kill) {
        reset();
        // Kill k lands somewhere in the k-th of `kills` equal stretches of a little more than
        // the change's whole length, so that together they cover all of it.
        const auto at = std::chrono::duration_cast<std::chrono::microseconds>(
            length * 1.1 / kills * (kill + std::uniform_real_distribution<double>(0, 1)(random)));
        const pid_t teacher = startChange(real);
        std::this_thread::sleep_for(at);
        ::kill(teacher, SIGKILL);
        waitFor(teacher);
        expectBeforeOrAfter("kill " + std::to_string(kill) + " at " + std::to_string(at.count()) +
                            " µs of " + std::to_string(length / 1us) + " µs");
    }
    // A busy machine can make a killed change slower than the one measured, so that every kill
    // lands before the journal is whole: kills later and later then reach the rest of it.
    auto later = length * 1.1;
    for (int extra = 0; kills >= 10 && m_finished == 0 && extra < 6; ++extra) {
        later *= 2;
        reset();
        const pid_t teacher = startChange(real);
        std::this_thread::sleep_for(later);
        ::kill(teacher, SIGKILL);
        waitFor(teacher);
        expectBeforeOrAfter(
            "a later kill at " +
            std::to_string(std::chrono::duration_cast<std::chrono::microseconds>(later).count()) +
            " µs");
    }
    report(std::to_string(kills) + " kills over a " + changeName() + " of " +
           std::to_string(length / 1ms) + " ms");
    // The stretches reach from before the journal is whole to after the change is done.
    if (kills >= 10) {
        EXPECT_GT(m_undone, 0);
        EXPECT_GT(m_finished, 0);
    }
}

/// Kills inside the writes, at bytes spread evenly over all that the change writes to the file:
/// on a fast disk a write takes a fraction of a millisecond, and a kill from outside seldom cuts
/// one. The journal and the history's entry are whole before the first of them, so each change
/// is finished by the next writer.
TEST_P(KilledDeleteTest, KilledInsideAWriteTheNextWriterLeavesTheFileBeforeOrAfter) {
    const std::uint64_t moved = bytesWritten();
    const int kills = killsToMake();
    std::mt19937 random(17);
    for (int kill = 0; kill < kills; ++kill) {
        reset();
        const auto killAt = static_cast<std::uint64_t>(
            moved * (kill + std::uniform_real_distribution<double>(0, 1)(random)) / kills);
        std::optional<KilledInAWriteFile> killedFile;
        const pid_t teacher =
            startChange([&]() -> RecordFile& { return killedFile.emplace(killAt); });
        const int status = waitFor(teacher);
        ASSERT_TRUE(WIFSIGNALED(status))
            << "the " << changeName() << " was not killed at byte " << killAt;
        expectBeforeOrAfter("kill at byte " + std::to_string(killAt) + " of " +
                            std::to_string(moved));
    }
    report(std::to_string(kills) + " kills inside the " + changeName() + "'s writes");
    EXPECT_EQ(m_undone, 0);
}

INSTANTIATE_TEST_SUITE_P(, KilledDeleteTest, ::testing::Values(Change::Delete, Change::PutBack),
                         ::testing::PrintToStringParamName());

}  // namespace
}  // namespace gaisan

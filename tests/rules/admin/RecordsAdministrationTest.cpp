#include <gtest/gtest.h>

#include <cstring>

#include "platform/DurableFile.h"
#include "platform/PosixRecordFile.h"
#include "rules/analysis/MistakeAnalysis.h"
#include "stores/results/AnswersFailureLog.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/RecordsAdministration.h"
#include "stores/results/ResultsFile.h"
#include "support/AnswersAppendPrinting.h"
#include "support/ChangeOutcomes.h"
#include "support/ExpectedAssertions.h"
#include "support/FakeClock.h"
#include "support/ForwardingRecordFile.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

using Finding = InterruptedDelete::Finding;

/// Record n of a test file: told apart by its student and time.
ResultRecord numbered(int n) { return testing::runRecord(100 + n, 1 + n % 3, n); }

std::vector<ResultRecord> numberedRecords(int from, int to) {
    std::vector<ResultRecord> records;
    for (int n = from; n <= to; ++n) records.push_back(numbered(n));
    return records;
}

/// The times of the file's records, which name them.
std::vector<int> timesIn(const std::filesystem::path& file) {
    std::vector<int> times;
    for (const ResultRecord& record : testing::recordsIn(file))
        times.push_back(record.ResultSeconds);
    return times;
}

std::vector<int> range(int from, int to) {
    std::vector<int> values;
    for (int n = from; n <= to; ++n) values.push_back(n);
    return values;
}

class RecordsAdministrationTest : public ::testing::Test {
protected:
    testing::TempFolder folder;
    PosixRecordFile file;
    std::filesystem::path path() const { return folder / "成績累積データ.dat"; }
    std::filesystem::path journal() const { return folder / "成績累積データtemp.dat"; }
    testing::FakeClock clock{{2026, 12, 10}, 36000};
    RecordsAdministration administration{file, path(), [](int) {}, clock};
    /// What the last change found of one a crash cut short.
    InterruptedDelete lastFound;

    RecordsAdministrationTest() {
        administration.tellInterruptedTo(
            [this](const InterruptedDelete& found) { lastFound = found; });
    }

    RecordCheck chosen(int n) {
        return RecordsAdministration::isExactly(encodeRecord(numbered(n)));
    }

    /// Appends `answer` as the one answer of the run of numbered record `n`, on `today`.
    void appendAnswerOfRun(int n, const AnswerRecord& answer, CivilDate today) {
        const ResultRecord record = numbered(n);
        ASSERT_EQ(appendRunAnswers(file, path(),
                                   {{record.RecordDate, record.RecordClock, record.StudentIndex,
                                     record.LevelIndex},
                                    {answer}},
                                   today),
                  AnswersAppendProblems{});
    }

    /// The journal a delete of record `number` from a file of numbered records 1..`records` writes.
    void writeJournal(int number, int records) {
        DeleteJournal written;
        written.recordNumber = static_cast<std::uint64_t>(number);
        written.recordsBefore = static_cast<std::uint64_t>(records);
        for (int n = number; n <= records; ++n) {
            const RecordBytes bytes = encodeRecord(numbered(n));
            written.oldRecords.insert(written.oldRecords.end(), bytes.begin(), bytes.end());
        }
        const std::vector<std::byte> bytes = written.encode();
        folder.writeBytes(
            journal().filename().string(),
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
};

TEST_F(RecordsAdministrationTest, ADeleteMovesTheLaterRecordsDownAndLeavesNoJournal) {
    const struct {
        const char* name;
        int records;
        int deleted;
        std::vector<int> left;
    } cases[] = {
        {"record 3 of 10", 10, 3, {1, 2, 4, 5, 6, 7, 8, 9, 10}},
        {"the last record", 10, 10, range(1, 9)},
        {"the first record", 10, 1, range(2, 10)},
        {"the only record", 1, 1, {}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(path());
        testing::appendRecords(path(), numberedRecords(1, c.records));
        const auto result = administration.deleteRecord(c.deleted, chosen(c.deleted));
        EXPECT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Done) << c.name;
        EXPECT_EQ(lastFound.finding, Finding::None) << c.name;
        EXPECT_EQ(timesIn(path()), c.left) << c.name;
        EXPECT_EQ(std::filesystem::file_size(path()), c.left.size() * ResultRecord::kSize)
            << c.name;
        EXPECT_FALSE(std::filesystem::exists(journal())) << c.name;
    }
}

TEST_F(RecordsAdministrationTest, APartialRecordAtTheEndGoesWithTheDelete) {
    testing::appendRecords(path(), numberedRecords(1, 3));
    std::ofstream(path(), std::ios::binary | std::ios::app) << "torn";
    ASSERT_EQ(testing::outcomeOf(administration.deleteRecord(2, chosen(2))),
              testing::ChangeSeen::Done);
    EXPECT_EQ(timesIn(path()), (std::vector<int>{1, 3}));
    EXPECT_EQ(std::filesystem::file_size(path()), 2 * ResultRecord::kSize);
}

TEST_F(RecordsAdministrationTest, ARecordThatIsNoLongerTheOneChosenIsLeftAlone) {
    testing::appendRecords(path(), numberedRecords(1, 5));
    const std::string before = testing::readBytes(path());
    // Another teacher deleted record 2 meanwhile: the record chosen as number 3 is now number 2.
    EXPECT_EQ(testing::outcomeOf(administration.deleteRecord(2, chosen(3))),
              testing::ChangeSeen::NotTheRecord);
    EXPECT_EQ(testing::outcomeOf(administration.writeBack(2, chosen(3), 7, 40)),
              testing::ChangeSeen::NotTheRecord);
    EXPECT_EQ(testing::outcomeOf(administration.deleteRecord(6, chosen(6))),
              testing::ChangeSeen::PastEnd);
    EXPECT_EQ(testing::outcomeOf(administration.writeBack(6, chosen(6), 7, 40)),
              testing::ChangeSeen::PastEnd);
    EXPECT_EQ(testing::outcomeOf(administration.deleteRecord(0, chosen(1))),
              testing::ChangeSeen::PastEnd);
    EXPECT_EQ(testing::readBytes(path()), before);
    EXPECT_FALSE(std::filesystem::exists(journal()));
}

TEST_F(RecordsAdministrationTest, AWriteBackChangesOnlyTheStudentAndTheTime) {
    ResultRecord record = testing::runRecord(12, 4, 55, {2025, 6, 30}, 0.75);
    record.SchoolCode = "54321";
    RecordBytes bytes = encodeRecord(record);
    bytes[29] = std::byte{0x82};  // a text byte that is no CP932 must survive byte for byte
    bytes[40] = std::byte{0x7f};  // and so must the spare field
    testing::appendRecords(path(), numberedRecords(1, 2));
    {
        std::ofstream out(path(), std::ios::binary | std::ios::app);
        out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    const auto check = RecordsAdministration::isExactly(bytes);

    ASSERT_EQ(testing::outcomeOf(administration.writeBack(3, check, std::nullopt, 41)),
              testing::ChangeSeen::Done);
    std::string after = testing::readBytes(path()).substr(2 * ResultRecord::kSize);
    RecordBytes expected = withStudentAndSeconds(bytes, 12, 41);
    EXPECT_EQ(after, std::string(reinterpret_cast<const char*>(expected.data()), expected.size()));
    const ResultRecord written = testing::recordsIn(path())[2];
    EXPECT_EQ(written.RecordDate, record.RecordDate);
    EXPECT_EQ(written.RecordClock, 0.75);
    EXPECT_EQ(written.LevelIndex, 4);
    EXPECT_EQ(written.SchoolCode, "54321");

    ASSERT_EQ(testing::outcomeOf(
                  administration.writeBack(3, RecordsAdministration::isExactly(expected), 30, 0)),
              testing::ChangeSeen::Done);
    EXPECT_EQ(testing::recordsIn(path())[2].StudentIndex, 30);
    EXPECT_EQ(testing::recordsIn(path())[2].ResultSeconds, 0);
    EXPECT_EQ(timesIn(path()).size(), 3u);
}

TEST_F(RecordsAdministrationTest,
       ARunGivenToAnotherStudentTakesItsAnswersAndADeletedOneStopsCounting) {
    testing::appendRecords(path(), numberedRecords(1, 3));
    AnswerRecord answer;
    answer.first = 450;
    answer.second = 120;
    answer.boxes = {"450", "100", "600"};
    answer.wrongBoxes = 0b001;
    for (int n : {1, 2}) appendAnswerOfRun(n, answer, {2026, 12, 10});
    PosixRecordFile answersFile;
    administration.moveAnswersThrough(answersFile);
    const auto answersOf = [&](int student) {
        const AnalysisScope scope{
            {student}, {}, daySerial({2026, 4, 1}), daySerial({2026, 12, 10})};
        return analyseMistakes(file, path(), scope).value().group.counts.answers;
    };

    const auto moved = administration.writeBack(1, chosen(1), 250, std::nullopt);
    EXPECT_EQ(testing::outcomeOf(moved), testing::ChangeSeen::Done);
    EXPECT_EQ(moved->movedAnswers, AnswersAppendProblems{});
    EXPECT_EQ(answersOf(101), 0u);
    EXPECT_EQ(answersOf(250), 1u);

    ASSERT_EQ(testing::outcomeOf(administration.deleteRecord(2, chosen(2))),
              testing::ChangeSeen::Done);
    EXPECT_EQ(answersOf(102), 0u) << "a deleted run's answers no longer count";
}

TEST_F(RecordsAdministrationTest, AMovedRunsAnswersWhoseDaysCopyFailsAreToldAsMoved) {
    testing::appendRecords(path(), numberedRecords(1, 2));
    AnswerRecord answer;
    answer.first = 450;
    answer.second = 120;
    answer.boxes = {"500", "100", "600"};
    for (int n : {1, 2}) appendAnswerOfRun(n, answer, {2026, 12, 9});
    folder.writeBytes("成績バックアップ/成績解答データ2026-2026-12-10", "not a folder");
    PosixRecordFile answersFile;
    administration.moveAnswersThrough(answersFile);

    const auto moved = administration.writeBack(1, chosen(1), numbered(2).StudentIndex, {});
    EXPECT_EQ(testing::outcomeOf(moved), testing::ChangeSeen::Done);
    EXPECT_EQ(moved->movedAnswers.answers, std::nullopt) << moved->movedAnswers.answers->text();
    ASSERT_TRUE(moved->movedAnswers.backup);
    EXPECT_NE(moved->movedAnswers.backup->text().find("成績解答データ2026-2026-12-10"),
              std::string::npos);
    const LoggedAnswersProblems logged = loggedAnswersProblems(path());
    EXPECT_TRUE(logged.failures.empty());
    EXPECT_EQ(logged.backupFailures.size(), 1u);
}

TEST_F(RecordsAdministrationTest, AStudentOrTimeThatWouldHarmEveryMachineIsRefused) {
    const struct {
        std::optional<std::int64_t> student, seconds;
        bool refused;
    } cases[] = {
        {1, 0, false},
        {5000, 99999, false},
        {std::nullopt, 30, false},
        {7, std::nullopt, false},
        {0, 30, true},
        {5001, 30, true},
        {-3, 30, true},
        {7, -1, true},
        {7, 100000, true},
        {std::nullopt, 4294967296, true},
    };
    testing::appendRecords(path(), numberedRecords(1, 1));
    const std::string before = testing::readBytes(path());
    for (const auto& c : cases) {
        EXPECT_EQ(RecordsAdministration::writeBackProblem(c.student, c.seconds).has_value(),
                  c.refused)
            << c.student.value_or(-99) << " " << c.seconds.value_or(-99);
        if (c.refused) {
            const auto result = administration.writeBack(1, chosen(1), c.student, c.seconds);
            EXPECT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Refused);
            EXPECT_FALSE(testing::whyOf(result).empty());
        }
    }
    EXPECT_EQ(testing::readBytes(path()), before);
}

/// A delete of record 4 from records 1..10, cut short at every stage a crash can leave, then
/// finished by whoever takes the lock next: afterwards every record is there once, record 4 is
/// gone, and records appended since are kept.
TEST_F(RecordsAdministrationTest, ADeleteCutShortIsFinishedByTheNextWriter) {
    const std::vector<int> done = {1, 2, 3, 5, 6, 7, 8, 9, 10};
    const struct {
        const char* name;
        std::vector<int> fileHolds;  // the records by time, as the crash left them
        Finding finding;
        std::vector<int> after;
    } cases[] = {
        {"journal written, nothing moved", range(1, 10), Finding::Completed, done},
        {"two records moved", {1, 2, 3, 5, 6, 6, 7, 8, 9, 10}, Finding::Completed, done},
        {"moved, not cut", {1, 2, 3, 5, 6, 7, 8, 9, 10, 10}, Finding::Completed, done},
        {"cut, journal left", done, Finding::AlreadyComplete, done},
        {"cut, journal left, then appends",
         {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12},
         Finding::AlreadyComplete,
         {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"half moved, then an append that missed the journal",
         {1, 2, 3, 5, 6, 6, 7, 8, 9, 10, 11},
         Finding::Completed,
         {1, 2, 3, 5, 6, 7, 8, 9, 10, 11}},
        {"a file put back from a copy meanwhile",
         {1, 2, 3, 4, 5},
         Finding::NotMatching,
         {1, 2, 3, 4, 5}},
        {"another file altogether",
         {20, 21, 22, 23, 24, 25, 26, 27, 28, 29},
         Finding::NotMatching,
         {20, 21, 22, 23, 24, 25, 26, 27, 28, 29}},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(path());
        std::vector<ResultRecord> records;
        for (int n : c.fileHolds) records.push_back(numbered(n));
        testing::appendRecords(path(), records);
        writeJournal(4, 10);

        InterruptedDelete found;
        ASSERT_TRUE(testing::succeeded(file.open(path())));
        ASSERT_TRUE(testing::succeeded(file.lockForAppend()));
        EXPECT_TRUE(testing::succeeded(finishInterruptedDelete(file, path(), found))) << c.name;
        file.close();
        EXPECT_EQ(found.finding, c.finding) << c.name;
        EXPECT_EQ(found.recordNumber, 4u) << c.name;
        EXPECT_FALSE(found.sentence().empty());
        EXPECT_EQ(timesIn(path()), c.after) << c.name;
        EXPECT_EQ(std::filesystem::file_size(path()) % ResultRecord::kSize, 0u) << c.name;
        EXPECT_FALSE(std::filesystem::exists(journal())) << c.name;
    }
}

/// A write cut by a crash stops at a page of the system's cache, not between records: record 6's
/// place holds the first bytes of record 7 (its date, clock and student) and the rest of record 6.
TEST_F(RecordsAdministrationTest, ARecordLeftHalfMovedIsFinished) {
    std::vector<ResultRecord> records = numberedRecords(1, 10);
    records.erase(records.begin() + 3);
    records.insert(records.begin() + 5, numbered(6));
    testing::appendRecords(path(), records);
    const RecordBytes seven = encodeRecord(numbered(7));
    std::string bytes = testing::readBytes(path());
    constexpr std::size_t kTorn = 18;
    bytes.replace(5 * ResultRecord::kSize, kTorn, reinterpret_cast<const char*>(seven.data()),
                  kTorn);
    folder.writeBytes(path().filename().string(), bytes);
    writeJournal(4, 10);

    const auto result = administration.finishInterruptedChange();
    EXPECT_EQ(lastFound.finding, Finding::Completed);
    EXPECT_EQ(timesIn(path()), (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9, 10}));
    EXPECT_FALSE(std::filesystem::exists(journal()));
}

/// Records appended after the journal was written move down too, and the journal holds them
/// before the first of them is overwritten: a finish that fails part way leaves a journal from
/// which the next writer finishes the delete without losing one.
TEST_F(RecordsAdministrationTest, AppendedRecordsAreInTheJournalBeforeTheyMove) {
    testing::appendRecords(path(), numberedRecords(1, 12));
    writeJournal(4, 10);
    class FailingWrites final : public testing::ForwardingRecordFile {
        Expected<void> writeDurably(std::uint64_t, std::span<const std::byte>) override {
            return testing::failureOf(fileErrorOf(EIO));
        }
    } failing;
    InterruptedDelete found;
    ASSERT_TRUE(testing::succeeded(failing.open(path())));
    ASSERT_TRUE(testing::succeeded(failing.lockForAppend()));
    EXPECT_FALSE(testing::succeeded(finishInterruptedDelete(failing, path(), found)));
    failing.close();
    const Expected<std::vector<std::byte>> bytes = readWholeFile(journal());
    ASSERT_TRUE(testing::succeeded(bytes));
    const std::optional<DeleteJournal> rewritten = DeleteJournal::decode(*bytes);
    ASSERT_TRUE(rewritten.has_value());
    EXPECT_EQ(rewritten->recordsBefore, 12u);

    const auto result = administration.finishInterruptedChange();
    EXPECT_EQ(lastFound.finding, Finding::Completed);
    EXPECT_EQ(timesIn(path()), (std::vector<int>{1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12}));
}

/// A journal cut short, down to an empty file, was never whole: nothing moved.
TEST_F(RecordsAdministrationTest, AJournalCutShortMeansNothingMovedAndIsRemoved) {
    testing::appendRecords(path(), numberedRecords(1, 10));
    const std::string before = testing::readBytes(path());
    for (const std::size_t cut : {std::size_t{3}, std::size_t{0}}) {
        writeJournal(4, 10);
        const std::size_t size = std::filesystem::file_size(journal());
        std::filesystem::resize_file(journal(), cut == 0 ? 0 : size - cut);
        const auto result = administration.finishInterruptedChange();
        EXPECT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Done);
        EXPECT_EQ(lastFound.finding, Finding::NothingMoved) << cut;
        EXPECT_EQ(testing::readBytes(path()), before);
        EXPECT_FALSE(std::filesystem::exists(journal()));
    }
}

TEST_F(RecordsAdministrationTest, AFileByTheJournalsNameThatIsNoJournalIsKeptUnderAnotherName) {
    testing::appendRecords(path(), numberedRecords(1, 3));
    // A whole copy of the results file, as a delete of an older program leaves under that name.
    std::filesystem::copy_file(path(), journal());
    const std::string copy = testing::readBytes(journal());
    const auto result = administration.finishInterruptedChange();
    EXPECT_EQ(lastFound.finding, Finding::OtherFileSetAside);
    EXPECT_FALSE(std::filesystem::exists(journal()));
    EXPECT_EQ(lastFound.setAsideAs, folder / "成績累積データtemp.dat.kept");
    EXPECT_EQ(testing::readBytes(lastFound.setAsideAs), copy);
    EXPECT_NE(lastFound.sentence().find("成績累積データtemp.dat.kept"), std::string::npos);
    EXPECT_EQ(timesIn(path()), range(1, 3));
}

TEST_F(RecordsAdministrationTest, AChildsAppendFinishesADeleteCutShortWithoutAWord) {
    testing::appendRecords(path(),
                           {numbered(1), numbered(2), numbered(3), numbered(5), numbered(5)});
    writeJournal(4, 5);
    testing::FakeClock clock;
    ResultsFile results(file, path(), clock, [](int) {});
    EXPECT_TRUE(testing::succeeded(results.AppendResultRecord({7, 1, 77, std::nullopt})));
    EXPECT_EQ(timesIn(path()), (std::vector<int>{1, 2, 3, 5, 77}));
    EXPECT_FALSE(std::filesystem::exists(journal()));
}

TEST_F(RecordsAdministrationTest, ADeleteOrWriteBackFinishesAnInterruptedDeleteFirstAndSaysSo) {
    testing::appendRecords(path(),
                           {numbered(1), numbered(2), numbered(3), numbered(5), numbered(5)});
    writeJournal(4, 5);
    const auto result = administration.deleteRecord(1, chosen(1));
    EXPECT_EQ(testing::outcomeOf(result), testing::ChangeSeen::Done);
    EXPECT_EQ(lastFound.finding, Finding::Completed);
    EXPECT_EQ(timesIn(path()), (std::vector<int>{2, 3, 5}));
}

}  // namespace
}  // namespace gaisan

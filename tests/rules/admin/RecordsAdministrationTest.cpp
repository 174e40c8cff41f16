#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "platform/PosixRecordFile.h"
#include "rules/analysis/MistakeAnalysis.h"
#include "stores/results/AnswersFailureLog.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/RecordsAdministration.h"
#include "support/AnswersAppendPrinting.h"
#include "support/ChangeOutcomes.h"
#include "support/NumberedRecordsAdministration.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

/// Deletes and write-backs of numbered records, and the answers of the runs they change.
using RecordsAdministrationTest = testing::NumberedRecordsAdministration;

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

}  // namespace
}  // namespace gaisan

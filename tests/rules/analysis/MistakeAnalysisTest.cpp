#include "rules/analysis/MistakeAnalysis.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/PosixRecordFile.h"
#include "stores/results/AnswersFile.h"
#include "stores/results/RecordsAdministration.h"
#include "support/AnswersAppendPrinting.h"
#include "support/ChangeOutcomes.h"
#include "support/FakeClock.h"
#include "support/RecordFiles.h"
#include "support/TempFolder.h"

namespace gaisan {
namespace {

constexpr CivilDate kToday{2026, 12, 10};

/// 450 + 120 to the hundreds, answered as `boxes`; the judged wrong boxes follow from them.
AnswerRecord answerOf(std::array<std::string, 3> boxes, int type = 1, int tenths = 50) {
    AnswerRecord answer;
    answer.first = 450;
    answer.second = 120;
    answer.place = 2;
    answer.problemType = static_cast<std::int8_t>(type);
    answer.tenths = static_cast<std::uint16_t>(tenths);
    const std::array<std::string, 3> right = {"500", "100", "600"};
    for (std::size_t i = 0; i < 3; ++i) {
        if (boxes[i] != right[i]) answer.wrongBoxes |= static_cast<std::uint8_t>(1u << i);
    }
    answer.boxes = std::move(boxes);
    return answer;
}

const AnswerRecord kRight = answerOf({"500", "100", "600"});
const AnswerRecord kRoundedDown = answerOf({"400", "100", "500"});  // then right for its own
const AnswerRecord kNotRounded = answerOf({"450", "100", "600"}, 2, 90);

/// A results file and answers, written as the program writes them.
class Classroom {
public:
    std::filesystem::path results() const { return m_folder / "成績累積データ.dat"; }

    RunIdentity record(int student, CivilDate date, double clock, int level = 1) {
        const ResultRecord record = testing::runRecord(student, level, 60, date, clock);
        testing::appendRecords(results(), {record});
        return {record.RecordDate, record.RecordClock, static_cast<std::int16_t>(student),
                static_cast<std::int16_t>(level)};
    }
    RunIdentity recordWithAnswers(int student, CivilDate date, double clock,
                                  std::vector<AnswerRecord> answers, int level = 1) {
        const RunIdentity run = record(student, date, clock, level);
        EXPECT_EQ(appendRunAnswers(m_file, results(), {run, std::move(answers)}, kToday),
                  AnswersAppendProblems{});
        return run;
    }
    MistakeAnalysis analyse(std::vector<int> students, std::vector<int> levels = {}) {
        return analyseMistakes(m_file, results(),
                               {std::move(students), std::move(levels), daySerial({2026, 4, 1}),
                                daySerial(kToday)})
            .value();
    }
    PosixRecordFile& file() { return m_file; }

private:
    testing::TempFolder m_folder;
    PosixRecordFile m_file;
};

TEST(MistakeAnalysis, CountsAnswersAndTheKindsOfTheirWrongBoxesForEachStudentAndTheGroup) {
    Classroom classroom;
    classroom.recordWithAnswers(1, {2026, 12, 7}, 0.4, {kRight, kRoundedDown, kRight});
    classroom.recordWithAnswers(1, {2026, 12, 9}, 0.4, {kNotRounded, kRight});
    classroom.recordWithAnswers(2, {2026, 12, 1}, 0.5, {kRight, kRoundedDown});
    classroom.recordWithAnswers(2, {2026, 12, 2}, 0.5, {kRight}, 2);

    const MistakeAnalysis analysis = classroom.analyse({1, 2}, {1});
    const MistakeSummary& first = analysis.students.at(1);
    EXPECT_EQ(first.runs, 2u);
    EXPECT_EQ(first.counts.answers, 5u);
    EXPECT_EQ(first.counts.right, 3u);
    EXPECT_EQ(first.counts.wrongBoxes, 3u);
    EXPECT_EQ(first.counts.boxesOfKind[static_cast<int>(MistakeKind::RoundedDownNotUp)], 1u);
    EXPECT_EQ(first.counts.boxesOfKind[static_cast<int>(MistakeKind::RightForOwnRounding)], 1u);
    EXPECT_EQ(first.counts.boxesOfKind[static_cast<int>(MistakeKind::NotRounded)], 1u);
    EXPECT_DOUBLE_EQ(*first.counts.wrongShare(), 0.4);
    // One box of each kind: every one of them needs work as much as the others.
    EXPECT_EQ(first.weakestKinds(),
              (std::vector{MistakeKind::RoundedDownNotUp, MistakeKind::NotRounded,
                           MistakeKind::RightForOwnRounding}));
    EXPECT_DOUBLE_EQ(*first.timeByType[1].secondsPerAnswer(), 5.0);
    EXPECT_DOUBLE_EQ(*first.timeByType[2].secondsPerAnswer(), 9.0);
    EXPECT_FALSE(first.timeByType[3].secondsPerAnswer());
    // Monday 7 December holds both runs' week.
    ASSERT_EQ(first.weeks.size(), 1u);
    EXPECT_EQ(first.weeks.begin()->first, daySerial({2026, 12, 7}));
    const auto& examples = first.examples[static_cast<int>(MistakeKind::NotRounded)];
    ASSERT_EQ(examples.size(), 1u);
    EXPECT_EQ(examples[0].answer, kNotRounded);

    EXPECT_EQ(analysis.group.runs, 3u) << "level 2 is not asked for";
    EXPECT_EQ(analysis.group.counts.boxesOfKind[static_cast<int>(MistakeKind::RoundedDownNotUp)],
              2u);
    EXPECT_EQ(analysis.group.weakestKinds(),
              (std::vector{MistakeKind::RoundedDownNotUp, MistakeKind::RightForOwnRounding}));
    EXPECT_EQ(analysis.group.weeks.size(), 2u);
    const auto& groupExamples =
        analysis.group.examples[static_cast<int>(MistakeKind::RoundedDownNotUp)];
    ASSERT_EQ(groupExamples.size(), 2u);
    EXPECT_EQ(groupExamples[1].run.student, 1) << "the newest last, whoever gave it";
}

TEST(MistakeAnalysis, OnlyRunsWhoseRecordIsThereCountAndAMovedRunCountsForItsNewStudent) {
    Classroom classroom;
    classroom.recordWithAnswers(1, {2026, 12, 7}, 0.1, {kRoundedDown});
    const RunIdentity moved = classroom.recordWithAnswers(1, {2026, 12, 7}, 0.2, {kNotRounded});
    classroom.record(1, {2026, 12, 8}, 0.3);  // recorded by a machine that keeps no answers
    // Answers whose run record is not in the file (a deleted run) never count.
    ASSERT_EQ(appendRunAnswers(
                  classroom.file(), classroom.results(),
                  {{static_cast<double>(daySerial({2026, 12, 8})), 0.4, 1, 1}, {kRight}}, kToday),
              AnswersAppendProblems{});
    // The teacher moves the second run to student 2: answers first, then the record.
    RunIdentity to = moved;
    to.student = 2;
    ASSERT_EQ(copyRunAnswers(classroom.file(), classroom.results(), moved, to, kToday),
              AnswersAppendProblems{});
    std::vector<ResultRecord> records = testing::recordsIn(classroom.results());
    records[1].StudentIndex = 2;
    std::filesystem::remove(classroom.results());
    testing::appendRecords(classroom.results(), records);

    const MistakeAnalysis analysis = classroom.analyse({1, 2});
    EXPECT_EQ(analysis.students.at(1).counts.answers, 1u);
    EXPECT_EQ(analysis.students.at(1).counts.boxesOfKind[static_cast<int>(MistakeKind::NotRounded)],
              0u);
    EXPECT_EQ(analysis.students.at(2).counts.boxesOfKind[static_cast<int>(MistakeKind::NotRounded)],
              1u);
    EXPECT_EQ(analysis.report.runsInScope, 3u);
    EXPECT_EQ(analysis.report.runsWithoutAnswers, 1u);
    EXPECT_TRUE(analysis.report.problems.empty());

    const MistakeAnalysis ofStudentTwo = classroom.analyse({2});
    EXPECT_EQ(ofStudentTwo.group.counts.answers, 1u) << "one student's analysis";
}

TEST(MistakeAnalysis, AnswersThatCannotBeReadAreNamedOnceEachAndTheRestStillCount) {
    Classroom classroom;
    for (const int student : {1, 2, 3}) {
        classroom.recordWithAnswers(student, {2026, 3, 10}, 0.1, {kRoundedDown});
        classroom.recordWithAnswers(student, {2026, 12, 7}, 0.2, {kRight, kNotRounded});
    }
    // The last school year's folder has become a file, and a folder stands in the place of
    // student 2's answers of this year.
    const std::filesystem::path lastYear = answersFolderOf(classroom.results(), 2025);
    std::filesystem::remove_all(lastYear);
    std::ofstream(lastYear) << "not a folder";
    const std::filesystem::path second = answersFileOf(classroom.results(), 2026, 2);
    std::filesystem::remove(second);
    std::filesystem::create_directory(second);

    const MistakeAnalysis analysis =
        analyseMistakes(classroom.file(), classroom.results(),
                        {{1, 2, 3}, {}, daySerial({2025, 4, 1}), daySerial(kToday)})
            .value();
    ASSERT_EQ(analysis.report.problems.size(), 2u) << "the folder once, not once per student";
    EXPECT_EQ(analysis.report.problems[0].find(lastYear.string() + ": "), 0u);
    EXPECT_EQ(analysis.report.problems[1].find(second.string() + ": "), 0u);
    EXPECT_EQ(analysis.students.at(1).counts.answers, 2u);
    EXPECT_EQ(analysis.students.count(2), 0u);
    EXPECT_EQ(analysis.students.at(3).counts.answers, 2u);
    EXPECT_EQ(analysis.report.runsWithoutAnswers, 4u);
}

/// A teacher's changes and their undoing through the real administration: the answers count for
/// whichever student the run's record names, and only while it is there.
TEST(MistakeAnalysis, AnswersFollowTheirRunThroughTeachersChangesAndTheirUndoing) {
    Classroom classroom;
    classroom.recordWithAnswers(1, {2026, 12, 7}, 0.1, {kRoundedDown});
    classroom.recordWithAnswers(1, {2026, 12, 7}, 0.2, {kNotRounded, kRight});
    testing::FakeClock clock{kToday, 36000};
    PosixRecordFile resultsFile;
    PosixRecordFile answersFile;
    RecordsAdministration administration(
        resultsFile, classroom.results(), [](int) {}, clock);
    administration.moveAnswersThrough(answersFile);
    const auto anyRecord = [](auto) { return true; };
    const auto anyEntry = [](const HistoryEntry&) { return true; };
    const auto answersOf = [&](int student) -> std::uint64_t {
        const MistakeAnalysis analysis = classroom.analyse({1, 2});
        const auto found = analysis.students.find(student);
        return found == analysis.students.end() ? 0 : found->second.counts.answers;
    };

    ASSERT_EQ(testing::outcomeOf(administration.deleteRecord(2, anyRecord)),
              testing::ChangeSeen::Done);
    EXPECT_EQ(answersOf(1), 1u);
    ASSERT_EQ(testing::outcomeOf(administration.undo(1, anyEntry)), testing::ChangeSeen::Done);
    EXPECT_EQ(answersOf(1), 3u);
    ASSERT_EQ(testing::outcomeOf(administration.writeBack(2, anyRecord, 2, std::nullopt)),
              testing::ChangeSeen::Done);
    EXPECT_EQ(answersOf(1), 1u);
    EXPECT_EQ(answersOf(2), 2u);
    ASSERT_EQ(testing::outcomeOf(administration.undo(3, anyEntry)), testing::ChangeSeen::Done);
    EXPECT_EQ(answersOf(1), 3u);
    EXPECT_EQ(answersOf(2), 0u);
}

TEST(MistakeAnalysis, TheJudgingDecidesWhichBoxesAreMistakes) {
    // 30 + 20 rounds to 0 + 0: three empty boxes read as 0 and were judged right.
    AnswerRecord roundsToZero = answerOf({"", "", ""});
    roundsToZero.first = 30;
    roundsToZero.second = 20;
    roundsToZero.wrongBoxes = 0;
    const AnswerMistakes none = mistakesOf(roundsToZero);
    EXPECT_EQ(none.roundedFirst.kind, MistakeKind::Correct);
    EXPECT_EQ(none.sum.kind, MistakeKind::Correct);
    // A box judged wrong whose text the kinds read as right is still a mistake.
    AnswerRecord judgedWrong = kRight;
    judgedWrong.wrongBoxes = 0b001;
    EXPECT_EQ(mistakesOf(judgedWrong).roundedFirst.kind, MistakeKind::Slip);
    EXPECT_EQ(mistakesOf(judgedWrong).sum.kind, MistakeKind::Correct);
}

TEST(MistakeAnalysis, AnEmptyBoxIsTheWeakestKindOnlyWhenThereIsNoOther) {
    MistakeSummary summary;
    summary.add({{46366, 0.1, 1, 1}, {answerOf({"", "100", "600"}), answerOf({"", "", ""})}});
    EXPECT_EQ(summary.weakestKinds(), std::vector{MistakeKind::Empty});
    summary.add({{46366, 0.2, 1, 1}, {kNotRounded}});
    EXPECT_EQ(summary.weakestKinds(), std::vector{MistakeKind::NotRounded});
    EXPECT_TRUE(MistakeSummary{}.weakestKinds().empty());
}

TEST(MistakeAnalysis, AKindsShareOfTheAnswersCountsEachAnswerOnceAndNeverPassesTheWrongShare) {
    // 450 + 150 typed 400 / 100 / 500: both roundings forget to round up, in one answer.
    const AnswerRecord bothDown = [] {
        AnswerRecord answer = answerOf({"400", "100", "500"});
        answer.second = 150;
        answer.wrongBoxes = 0b111;
        return answer;
    }();
    MistakeSummary summary;
    summary.add({{46366, 0.1, 1, 1}, {bothDown, kRight, kRight, kRight}});
    const MistakeCounts& counts = summary.counts;
    EXPECT_EQ(counts.boxesOfKind[static_cast<int>(MistakeKind::RoundedDownNotUp)], 2u);
    EXPECT_EQ(counts.answersOfKind[static_cast<int>(MistakeKind::RoundedDownNotUp)], 1u);
    EXPECT_DOUBLE_EQ(*counts.answerShareOf(MistakeKind::RoundedDownNotUp), 0.25);
    EXPECT_DOUBLE_EQ(*counts.wrongShare(), 0.25);
    EXPECT_DOUBLE_EQ(*counts.shareOf(MistakeKind::RoundedDownNotUp), 2.0 / 3) << "of wrong boxes";
    EXPECT_DOUBLE_EQ(*counts.answerShareOf(MistakeKind::NotRounded), 0.0);
    EXPECT_FALSE(MistakeCounts{}.answerShareOf(MistakeKind::NotRounded));
    // The week and the group count alike.
    EXPECT_EQ(summary.weeks.begin()->second.answersOfKind, counts.answersOfKind);
    MistakeSummary group;
    group.add(summary);
    group.add(summary);
    EXPECT_EQ(group.counts.answersOfKind[static_cast<int>(MistakeKind::RoundedDownNotUp)], 2u);
}

}  // namespace
}  // namespace gaisan

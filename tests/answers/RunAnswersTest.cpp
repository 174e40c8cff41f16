#include "answers/RunAnswers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gaisan {
namespace {

/// Entry `number` of `count` of the run of `student` at `clock`.
AnswerRecord entry(int student, double clock, int number, int count) {
    AnswerRecord answer;
    answer.runDate = 46366;
    answer.runClock = clock;
    answer.student = static_cast<std::int16_t>(student);
    answer.level = 1;
    answer.answerNumber = static_cast<std::int16_t>(number);
    answer.answersInRun = static_cast<std::int16_t>(count);
    return answer;
}

struct Collected {
    std::vector<std::string> runs;  ///< "student:count" per whole run
    std::uint64_t leftOut = 0;
};

Collected collect(const std::vector<std::optional<AnswerRecord>>& entries) {
    Collected collected;
    RunAnswersCollector collector([&](RunAnswers&& run) {
        collected.runs.push_back(std::to_string(run.front().student) + ":" +
                                 std::to_string(run.answers.size()));
    });
    for (const auto& e : entries) collector.add(e);
    collector.finish();
    collected.leftOut = collector.entriesLeftOut();
    return collected;
}

TEST(RunAnswers, OnlyWholeRunsCountAndNothingOfAnotherRunJoinsThem) {
    const std::optional<AnswerRecord> damaged;
    const struct {
        const char* what;
        std::vector<std::optional<AnswerRecord>> entries;
        std::vector<std::string> runs;
        std::uint64_t leftOut;
    } cases[] = {
        {"two whole runs",
         {entry(1, 0.1, 1, 2), entry(1, 0.1, 2, 2), entry(2, 0.2, 1, 1)},
         {"1:2", "2:1"},
         0},
        {"the last run cut short by a crash",
         {entry(1, 0.1, 1, 1), entry(2, 0.2, 1, 3), entry(2, 0.2, 2, 3)},
         {"1:1"},
         2},
        {"a damaged entry inside a run drops the run, not the next",
         {entry(1, 0.1, 1, 3), damaged, entry(1, 0.1, 3, 3), entry(2, 0.2, 1, 1)},
         {"2:1"},
         3},
        {"a run cut short, then the next run written after it",
         {entry(1, 0.1, 1, 3), entry(2, 0.2, 1, 2), entry(2, 0.2, 2, 2)},
         {"2:2"},
         1},
        {"an entry of another run in the middle",
         {entry(1, 0.1, 1, 2), entry(3, 0.1, 2, 2), entry(1, 0.1, 2, 2)},
         {},
         3},
        {"a run written twice counts twice only when whole twice",
         {entry(1, 0.1, 1, 1), entry(1, 0.1, 1, 1)},
         {"1:1", "1:1"},
         0},
        {"nothing", {}, {}, 0},
    };
    for (const auto& c : cases) {
        const Collected collected = collect(c.entries);
        EXPECT_EQ(collected.runs, c.runs) << c.what;
        EXPECT_EQ(collected.leftOut, c.leftOut) << c.what;
    }
}

}  // namespace
}  // namespace gaisan

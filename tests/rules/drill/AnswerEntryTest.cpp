#include "rules/drill/AnswerEntry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RecordingCues.h"
#include "support/ScriptedRandom.h"

namespace gaisan {
namespace {

/// The random number that makes a level-1 problem draw `number` (10..909).
double level1Draw(double number) { return (number - 10 + 0.5) / 900; }

/// A run of level 1 whose problems are scripted as pairs of given numbers.
class AnswerEntryTest : public ::testing::Test {
protected:
    void start(const std::vector<std::pair<int, int>>& problems) {
        std::vector<double> draws;
        for (const auto& [a, b] : problems) {
            draws.push_back(level1Draw(a));
            draws.push_back(level1Draw(b));
        }
        random = std::make_unique<testing::ScriptedRandom>(draws);
        entry = std::make_unique<AnswerEntry>(
            run, 1, *random, cues,
            AnswerEntry::Hooks{[this] { events.push_back("yield"); },
                               [this] { events.push_back("stop clock"); },
                               [this] { events.push_back("end run"); }, [this] { return tick; }});
        entry->問題作成表示();
    }
    /// Types `keys`; a space in `keys` is the space bar.
    void type(const std::string& keys) {
        for (const char key : keys) entry->Form_KeyPress(static_cast<unsigned char>(key));
    }
    std::string text(int box) const { return entry->box(box).text; }

    RunState run;
    std::int64_t tick = 0;  ///< the clock in milliseconds
    testing::RecordingCues cues;
    std::vector<std::string> events;
    std::unique_ptr<testing::ScriptedRandom> random;
    std::unique_ptr<AnswerEntry> entry;
};

TEST_F(AnswerEntryTest, ANewProblemShowsTheGivenNumbersAndWaitsInTheFirstAnswerBox) {
    start({{150, 349}});
    EXPECT_EQ(text(1), "150");
    EXPECT_EQ(text(2), "349");
    EXPECT_EQ(text(3), "");
    EXPECT_EQ(entry->box(1).colour, kGivenBoxColour);
    EXPECT_EQ(entry->box(3).colour, kCurrentBoxColour);
    EXPECT_EQ(entry->box(4).colour, kEmptyBoxColour);
    EXPECT_EQ(entry->box(5).correctValue, "500");
    EXPECT_FALSE(entry->box(5).correctValueShown);
    EXPECT_EQ(entry->currentBox(), 3);
}

TEST_F(AnswerEntryTest, ARightAnswerCountsAndBringsTheNextProblem) {
    start({{150, 349}, {700, 820}});
    type("200 300 ");
    EXPECT_TRUE(cues.played.empty()) << "space in boxes 3 and 4 never judges";
    EXPECT_EQ(entry->currentBox(), 5);
    type("500 ");
    EXPECT_EQ(cues.played, (std::vector<std::string>{"correct"}));
    EXPECT_EQ(run.CorrectCount, 1);
    EXPECT_EQ(run.Judging, 0);
    EXPECT_EQ(text(1), "700");
    EXPECT_EQ(text(3), "");
    EXPECT_EQ(entry->currentEntry(), "");
    EXPECT_EQ(entry->currentBox(), 3);
}

TEST_F(AnswerEntryTest, AWrongAnswerMarksOnlyTheWrongBoxesAndWaitsForPlusTwice) {
    start({{150, 349}, {700, 820}});
    run.CorrectCount = 3;
    type("200 300 600 ");
    EXPECT_EQ(cues.played, (std::vector<std::string>{"wrong"}));
    EXPECT_EQ(events, (std::vector<std::string>{"yield"})) << "the marks show before the cue";
    EXPECT_EQ(run.CorrectCount, 2);
    EXPECT_EQ(run.WrongAckState, 1);
    EXPECT_TRUE(entry->ackPromptShown());
    EXPECT_EQ(entry->box(5).colour, kWrongBoxColour);
    EXPECT_TRUE(entry->box(5).correctValueShown);
    EXPECT_EQ(entry->box(3).colour, kEmptyBoxColour);
    EXPECT_FALSE(entry->box(3).correctValueShown);

    type("+5+");
    EXPECT_EQ(run.WrongAckState, 2) << "a key between the two \"+\" starts them over";
    EXPECT_EQ(text(1), "150");
    type("+");
    EXPECT_EQ(run.WrongAckState, 0);
    EXPECT_FALSE(entry->ackPromptShown());
    EXPECT_EQ(text(1), "700") << "a new problem, not the same one again";
    EXPECT_EQ(text(5), "");
    EXPECT_FALSE(entry->box(5).correctValueShown);
    EXPECT_EQ(entry->box(3).colour, kCurrentBoxColour);
}

TEST_F(AnswerEntryTest, TheNetCountNeverGoesBelowZero) {
    start({{150, 349}});
    type("1 1 1 ");
    EXPECT_EQ(run.CorrectCount, 0);
}

TEST_F(AnswerEntryTest, BoxesTakeFiveCharactersOfDigitsAndSignsOnly) {
    start({{150, 349}});
    type("a1+2");
    EXPECT_EQ(text(3), "12") << "letters are ignored and \"+\" is never typed";
    type("-.,");
    EXPECT_EQ(entry->currentEntry(), "12-.,");
    EXPECT_TRUE(cues.played.empty());
    type("9");
    EXPECT_EQ(cues.played, (std::vector<std::string>{"warning"}));
    EXPECT_EQ(text(3), "12-.,");
    entry->Form_KeyPress(kBackspaceCode);
    EXPECT_EQ(text(3), "12-.");
    type(" 12345");
    EXPECT_EQ(entry->currentBox(), 4);
    EXPECT_EQ(text(4), "12345");
    entry->Form_KeyDown(ArrowKey::Left);
    type(" ");
    EXPECT_EQ(entry->currentBox(), 4);
    EXPECT_EQ(cues.played, (std::vector<std::string>{"warning", "warning"}))
        << "moving into a full box with space warns at once";
}

TEST_F(AnswerEntryTest, BoxesAreReadByTheirLeadingNumber) {
    const struct {
        std::pair<int, int> problem;
        const char* keys;
        int result;
    } cases[] = {
        {{150, 349}, "0200 300.0 500 ", 0},  // right: the next problem resets JudgeResult
        {{150, 349}, "200 300 500.9 ", 2},
        {{10, 55}, " 100 100 ", 0},       // an empty box is 0, and 10 rounds to 0
        {{150, 349}, "1-2 300 500 ", 2},  // 1
        {{909, 909}, "900 900 1800 ", 0},
    };
    for (const auto& c : cases) {
        run = RunState{};
        start({c.problem, {700, 820}});
        type(c.keys);
        EXPECT_EQ(run.JudgeResult, c.result) << c.keys;
    }

    run = RunState{};
    start({{150, 349}});
    type("2,000 ");
    EXPECT_EQ(text(3), "2,000");
    entry->判定();
    EXPECT_EQ(run.JudgeResult, 2) << "\"2,000\" reads as 2";
}

TEST_F(AnswerEntryTest, ArrowsMoveClearAndWrapInEveryState) {
    start({{150, 349}});
    type("2 3 5");
    entry->Form_KeyDown(ArrowKey::Right);
    EXPECT_EQ(entry->currentBox(), 3) << "right from box 5 wraps to box 3";
    EXPECT_EQ(entry->currentEntry(), "2");
    entry->Form_KeyDown(ArrowKey::Left);
    EXPECT_EQ(entry->currentBox(), 5) << "left from box 3 wraps to box 5";
    EXPECT_EQ(entry->box(5).colour, kCurrentBoxColour);
    EXPECT_EQ(entry->box(3).colour, kEmptyBoxColour);
    entry->Form_KeyDown(ArrowKey::Down);
    EXPECT_EQ(text(5), "");
    EXPECT_EQ(text(4), "3");
    entry->Form_KeyDown(ArrowKey::Up);
    EXPECT_EQ(text(3), "");
    EXPECT_EQ(text(4), "");
    EXPECT_EQ(text(1), "150");
    EXPECT_EQ(entry->currentBox(), 3);

    run.TimeUp = 1;
    entry->Form_KeyDown(ArrowKey::Right);
    EXPECT_EQ(entry->currentBox(), 4);
    type("7");
    EXPECT_EQ(text(4), "") << "keys are refused once the time is up";
}

TEST_F(AnswerEntryTest, TheTenthNetCorrectAnswerEndsTheRun) {
    start({{150, 349}});
    run.CorrectCount = 9;
    type("200 300 500 ");
    EXPECT_EQ(run.CorrectCount, 10);
    EXPECT_EQ(run.RunFinished, 1);
    EXPECT_EQ(events, (std::vector<std::string>{"stop clock", "end run"}));
    EXPECT_EQ(random->used(), 2u) << "no further problem is drawn";
    type("1");
    EXPECT_EQ(text(3), "200");
}

TEST_F(AnswerEntryTest, NoNewProblemWhileJudgingTimedOutOrFinished) {
    start({{150, 349}});
    for (int RunState::*flag : {&RunState::Judging, &RunState::TimeUp, &RunState::RunFinished}) {
        run = RunState{};
        run.*flag = 1;
        entry->問題作成表示();
        EXPECT_EQ(text(1), "150");
    }
}

TEST_F(AnswerEntryTest, EveryJudgedAnswerIsKeptAsTypedWithItsWrongBoxesAndItsTime) {
    start({{150, 349}, {700, 820}, {455, 10}});
    tick = 6240;
    type("100 300 400 ");  // rounded down instead of up; the sum right for those roundings
    type("++");
    tick = 9000;  // the next problem showed at 6240
    type("700 800 1500 ");
    tick = 9100;
    type("500 0 ");
    run.TimeUp = 1;  // the time runs out with this answer half typed
    type("500 ");

    ASSERT_EQ(run.Answers.size(), 2u) << "an answer the time-up cut short is no answer";
    const AnswerRecord& wrong = run.Answers[0];
    EXPECT_EQ(wrong.first, 150);
    EXPECT_EQ(wrong.second, 349);
    EXPECT_EQ(wrong.place, 2);
    EXPECT_EQ(wrong.problemType, 1);
    EXPECT_EQ(wrong.boxes, (std::array<std::string, 3>{"100", "300", "400"}));
    EXPECT_EQ(wrong.wrongBoxes, 0b101);
    EXPECT_EQ(wrong.tenths, 62);
    const AnswerRecord& right = run.Answers[1];
    EXPECT_TRUE(right.isRight());
    EXPECT_EQ(right.boxes, (std::array<std::string, 3>{"700", "800", "1500"}));
    EXPECT_EQ(right.tenths, 28);
}

TEST(AnswerEntryKeys, FullWidthDigitsAndSignsCountAsTheirHalfWidthSelves) {
    const struct {
        char32_t typed;
        int code;
    } cases[] = {
        {U'5', '5'}, {U'\uFF15', '5'}, {U'\uFF0B', '+'}, {U'\uFF0A', '*'}, {U'\u3000', ' '},
        {U' ', ' '}, {U'\u3042', 0},   {U'\uFF5F', 0},   {U'\u00E9', 0},
    };
    for (const auto& c : cases) EXPECT_EQ(characterCodeOf(c.typed), c.code) << int(c.typed);
}

}  // namespace
}  // namespace gaisan

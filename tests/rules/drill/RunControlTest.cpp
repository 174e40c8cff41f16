#include "rules/drill/RunControl.h"

#include <gtest/gtest.h>

#include <string>

#include "base/CriteriaTable.h"
#include "base/ProgramProfile.h"

namespace gaisan {
namespace {

/// The hidden boxes of one band as "x" (hidden) and "." (shown), lowest first.
std::string band(const CountdownBoxes& hidden, int first) {
    std::string shown;
    for (int box = first; box < first + 10; ++box) shown += hidden[box] ? 'x' : '.';
    return shown;
}

TEST(RunControl, ElapsedSecondsRoundToTheNearestHalvesToEven) {
    EXPECT_EQ(elapsedSecondsBetween(1000, 1000), 0);
    EXPECT_EQ(elapsedSecondsBetween(1000, 2499), 1);
    EXPECT_EQ(elapsedSecondsBetween(1000, 3500), 2);
    EXPECT_EQ(elapsedSecondsBetween(1000, 4500), 4);
    EXPECT_EQ(elapsedSecondsBetween(1000, 4501), 4);
    EXPECT_EQ(elapsedSecondsBetween(5'000'000, 5'000'000 + 301'000), 301);
}

TEST(RunControl, ThePassBandCountsDownToTheTargetAndAgainToTheMinimumLine) {
    const CountdownThresholds thresholds{0, 0, 40, 60};
    CountdownBoxes hidden{};
    const struct {
        int elapsed;
        const char* pass;
    } steps[] = {
        {1, ".........."},  {30, ".........."}, {31, "x........."}, {35, "xxxxx....."},
        {40, "xxxxxxxxxx"}, {51, "xxxxxxxxxx"}, {60, "xxxxxxxxxx"},
    };
    for (const auto& step : steps) {
        hideCountdownBoxes(hidden, step.elapsed, thresholds);
        EXPECT_EQ(band(hidden, 30), step.pass) << step.elapsed << " s";
        EXPECT_EQ(band(hidden, 10), "..........") << "the Best band stays full";
        EXPECT_EQ(band(hidden, 20), "..........") << "the YourBest band stays full";
    }
}

TEST(RunControl, TheMinimumLineEmptiesThePassBandOnItsOwnWhenTheTargetIsLater) {
    const CountdownThresholds thresholds{0, 0, 200, 60};
    CountdownBoxes hidden{};
    for (int elapsed = 1; elapsed <= 55; ++elapsed) hideCountdownBoxes(hidden, elapsed, thresholds);
    EXPECT_EQ(band(hidden, 30), "xxxxx.....");
    for (int elapsed = 56; elapsed <= 60; ++elapsed)
        hideCountdownBoxes(hidden, elapsed, thresholds);
    EXPECT_EQ(band(hidden, 30), "xxxxxxxxxx");
}

TEST(RunControl, ATimeUpWaitsWhileAnAnswerIsJudged) {
    RunState run;
    run.TimeLimit = 300;
    run.ElapsedSeconds = 299;
    EXPECT_FALSE(timeUpDue(run));
    run.ElapsedSeconds = 300;
    EXPECT_TRUE(timeUpDue(run));
    run.Judging = 1;
    EXPECT_FALSE(timeUpDue(run));
    run.Judging = 0;
    run.RunFinished = 1;
    EXPECT_FALSE(timeUpDue(run)) << "the answer being judged finished the run";
    run.RunFinished = 0;
    run.EndOfRunStarted = 1;
    EXPECT_FALSE(timeUpDue(run));
}

TEST(RunControl, ARunBeginsWithNothingLeftOfTheLastOne) {
    ProgramProfile profile;
    ApplyProfileLevels(profile);
    CriteriaTable criteria;
    criteria.MinLineTime.at(2) = 60;
    // A run that timed out while an answer was judged and shown wrong, ending.
    RunState run;
    run.RunFinished = 1;
    run.EndOfRunStarted = 1;
    run.TimeUp = 1;
    run.Judging = 1;
    run.WrongAckState = 2;
    run.JudgeResult = 2;
    run.CorrectCount = 7;
    run.ProblemsPerRun = 3;
    run.TimeLimit = 450;

    beginRun(run, profile, criteria, 2);
    EXPECT_EQ(run.TimeLimit, 300) << "5 × the minimum line";
    EXPECT_EQ(run.ProblemsPerRun, 10);
    EXPECT_EQ(run.CorrectCount, 0);
    for (const int flag : {run.RunFinished, run.EndOfRunStarted, run.TimeUp, run.Judging,
                           run.WrongAckState, run.JudgeResult}) {
        EXPECT_EQ(flag, 0);
    }
    EXPECT_FALSE(timeUpDue(run));

    profile.LevelDefined.at(30) = 0;
    beginRun(run, profile, criteria, 30);
    EXPECT_EQ(run.TimeLimit, 300) << "an undefined level keeps the last limit";
}

}  // namespace
}  // namespace gaisan

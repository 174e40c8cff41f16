#include "rules/drill/ProblemGenerator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "support/ScriptedRandom.h"

namespace gaisan {
namespace {

/// The random number that makes a type's draw give `number`.
double drawFor(int type, double number) {
    const double lowest = type == 1 ? 10 : 100;
    const double span = type == 1 ? 900 : 9000;
    return (number - lowest + 0.5) / span;
}

TEST(RoundToPlace, RoundsHalfUp) {
    const struct {
        double x;
        int p;
        double rounded;
    } cases[] = {{150, 2, 200}, {149, 2, 100},   {349, 2, 300},   {10, 2, 0},
                 {909, 2, 900}, {9099, 2, 9100}, {1500, 3, 2000}, {1499, 3, 1000},
                 {100, 3, 0},   {9099, 3, 9000}, {50, 2, 100},    {0, 2, 0}};
    for (const auto& c : cases) EXPECT_EQ(RoundToPlace(c.x, c.p), c.rounded) << c.x << ' ' << c.p;
}

TEST(ProblemGenerator, MakesTheFiveBoxValuesFromTheDrawnNumbers) {
    const struct {
        int level;
        std::vector<double> draws;
        std::array<double, 6> values;
        const char* instruction;
    } cases[] = {
        {1,
         {drawFor(1, 150), drawFor(1, 349)},
         {0, 150, 349, 200, 300, 500},
         "百の位までで、概算しなさい"},
        {1,
         {drawFor(1, 909), drawFor(1, 909)},
         {0, 909, 909, 900, 900, 1800},
         "百の位までで、概算しなさい"},
        {2,
         {drawFor(2, 9099), drawFor(2, 9099)},
         {0, 9099, 9099, 9100, 9100, 18200},
         "百の位までで、概算しなさい"},
        {3,
         {drawFor(3, 1500), drawFor(3, 1499)},
         {0, 1500, 1499, 2000, 1000, 3000},
         "千の位までで、概算しなさい"},
        {3,
         {drawFor(3, 100), drawFor(3, 9099)},
         {0, 100, 9099, 0, 9000, 9000},
         "千の位までで、概算しなさい"},
        // Level 4 draws its type first: r = 0.9 gives type 3, r = 0.1 type 1.
        {4,
         {0.9, drawFor(3, 4500), drawFor(3, 120)},
         {0, 4500, 120, 5000, 0, 5000},
         "千の位までで、概算しなさい"},
        {4,
         {0.1, drawFor(1, 10), drawFor(1, 55)},
         {0, 10, 55, 0, 100, 100},
         "百の位までで、概算しなさい"},
    };
    for (const auto& c : cases) {
        testing::ScriptedRandom random(c.draws);
        const Problem problem = makeProblem(c.level, random);
        EXPECT_EQ(problem.AnswerValues, c.values) << "level " << c.level;
        EXPECT_EQ(problem.instruction, c.instruction);
        EXPECT_EQ(random.used(), c.draws.size());
        EXPECT_EQ(problem.GivenBoxes,
                  (std::array<bool, 6>{false, true, true, false, false, false}));
    }
}

TEST(ProblemGenerator, EveryDrawStaysInItsRangeAndPlace) {
    SystemRandom random;
    random.seedFromTimeOfDay(12345.678);
    for (int level = 1; level <= 4; ++level) {
        std::set<int> types;
        for (int i = 0; i < 3000; ++i) {
            const Problem problem = makeProblem(level, random);
            types.insert(problem.ProblemType);
            const double lowest = problem.ProblemType == 1 ? 10 : 100;
            const double highest = problem.ProblemType == 1 ? 909 : 9099;
            const double unit = std::pow(10, problem.placeExponent);
            for (int box = 1; box <= 2; ++box) {
                const double given = problem.AnswerValues[box];
                const double rounded = problem.AnswerValues[box + 2];
                ASSERT_GE(given, lowest);
                ASSERT_LE(given, highest);
                ASSERT_EQ(given, std::floor(given));
                ASSERT_EQ(std::fmod(rounded, unit), 0);
                ASSERT_LE(std::abs(rounded - given), unit / 2);
            }
            ASSERT_EQ(problem.AnswerValues[5], problem.AnswerValues[3] + problem.AnswerValues[4]);
            ASSERT_LE(problem.AnswerValues[5], 18200) << "a box holds at most five digits";
            ASSERT_EQ(problem.placeExponent, problem.ProblemType == 3 ? 3 : 2);
        }
        const std::set<int> expected = level == 4 ? std::set<int>{1, 2, 3} : std::set<int>{level};
        EXPECT_EQ(types, expected);
    }
}

TEST(ProblemGenerator, OnlyLevelsOneToFourHaveProblems) {
    testing::ScriptedRandom random({0.5, 0.5, 0.5});
    EXPECT_THROW(makeProblem(0, random), std::invalid_argument);
    EXPECT_THROW(makeProblem(5, random), std::invalid_argument);
}

TEST(ProblemGenerator, NamesThePlaces) {
    EXPECT_EQ(placeName(3), "百");
    EXPECT_EQ(placeName(4), "千");
    EXPECT_EQ(placeName(5), "一万");
    EXPECT_EQ(placeName(9), "一億");
    EXPECT_EQ(placeName(0), "");
    EXPECT_EQ(placeName(10), "");
}

}  // namespace
}  // namespace gaisan

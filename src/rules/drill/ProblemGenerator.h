#pragma once

#include <array>
#include <string>

#include "platform/RandomSource.h"

namespace gaisan {

/// The five boxes of a problem: 1 and 2 show the given numbers, 3 and 4 take them rounded, 5
/// takes the sum of the rounded values.
inline constexpr int kBoxCount = 5;
inline constexpr int kFirstAnswerBox = 3;

/// `x` rounded half up to a multiple of 10^p: 150 → 200 and 149 → 100 for p = 2.
double RoundToPlace(double x, int p);

/// The name of the place of 10^(k−1) for k = 1..9 ("一", "十", "百", "千", "一万"...); "" for 0
/// and 10.
const std::string& placeName(int k);

struct Problem {
    int ProblemType = 0;    ///< 1: two numbers 10..909 to hundreds; 2: 100..9099 to hundreds;
                            ///< 3: 100..9099 to thousands
    int placeExponent = 0;  ///< rounding to 10^placeExponent
    std::string instruction;  ///< "百の位までで、概算しなさい" or "千の位までで、概算しなさい"
    std::array<double, kBoxCount + 1> AnswerValues{};  ///< value of box 1..5
    std::array<bool, kBoxCount + 1> GivenBoxes{};  ///< true for the boxes showing a given number
};

/// A new problem for level 1..4: level n asks type n, level 4 a random type per problem. The
/// random source gives the type (level 4 only), then the first number, then the second.
/// Throws std::invalid_argument for any other level, which has no problems.
Problem makeProblem(int level, RandomSource& random);

}  // namespace gaisan

#include "rules/drill/ProblemGenerator.h"

#include <cmath>
#include <stdexcept>

namespace gaisan {
namespace {

struct TypeRule {
    double span;  ///< a number is the integer part of (r × span + lowest)
    double lowest;
    int placeExponent;
};

TypeRule ruleOfType(int type) {
    switch (type) {
        case 1:
            return {900, 10, 2};
        case 2:
            return {9000, 100, 2};
        default:
            return {9000, 100, 3};
    }
}

double drawNumber(const TypeRule& rule, RandomSource& random) {
    return std::floor(random.uniform() * rule.span + rule.lowest);
}

}  // namespace

double RoundToPlace(double x, int p) {
    const double unit = std::pow(10.0, p);
    return std::floor(x / unit + 0.5) * unit;
}

const std::string& placeName(int k) {
    static const std::array<std::string, 11> names = {"",     "一",   "十",   "百",   "千", "一万",
                                                      "十万", "百万", "千万", "一億", ""};
    return names.at(k);
}

Problem makeProblem(int level, RandomSource& random) {
    if (level < 1 || level > 4) {
        throw std::invalid_argument("level " + std::to_string(level) + " has no problems");
    }
    Problem problem;
    problem.ProblemType = level == 4 ? static_cast<int>(random.uniform() * 3 + 1) : level;
    const TypeRule rule = ruleOfType(problem.ProblemType);
    problem.placeExponent = rule.placeExponent;
    problem.instruction = placeName(rule.placeExponent + 1) + "の位までで、概算しなさい";

    const double first = drawNumber(rule, random);
    const double second = drawNumber(rule, random);
    auto& values = problem.AnswerValues;
    values[1] = first;
    values[3] = RoundToPlace(first, rule.placeExponent);
    values[2] = second;
    values[4] = RoundToPlace(second, rule.placeExponent);
    values[5] = values[3] + values[4];
    problem.GivenBoxes[1] = true;
    problem.GivenBoxes[2] = true;
    return problem;
}

}  // namespace gaisan

#pragma once

#include <ostream>

#include "stores/results/AnswersFile.h"

namespace gaisan {

/// What a failed expectation about an append of answers prints: the problems' own words.
inline void PrintTo(const AnswersAppendProblems& problems, std::ostream* out) {
    const auto told = [](const std::optional<Failure>& problem) {
        return problem ? problem->text() : std::string("-");
    };
    *out << "{answers: " << told(problems.answers) << ", backup: " << told(problems.backup) << "}";
}

}  // namespace gaisan

#pragma once

#include <ostream>

#include "stores/results/AnswersFile.h"

namespace gaisan {

/// What a failed expectation about an append of answers prints: the problems' own words.
inline void PrintTo(const AnswersAppendProblems& problems, std::ostream* out) {
    *out << "{answers: " << problems.answers.value_or("-")
         << ", backup: " << problems.backup.value_or("-") << "}";
}

}  // namespace gaisan

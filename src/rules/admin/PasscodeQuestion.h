#pragma once

#include <string>
#include <string_view>

#include "rules/admin/PasscodeTries.h"
#include "stores/installation/Passcode.h"

namespace gaisan {

/// What came of a passcode typed in the teacher's question.
struct PasscodeOutcome {
    enum class Kind { Opened, Wrong, MustWait, Damaged };
    Kind kind = Kind::Opened;
    int triesLeft = 0;      ///< when Wrong
    int secondsToWait = 0;  ///< when MustWait
    /// What kept the count of wrong tries from being read or written, as PasscodeTries tells it.
    std::string countProblem = {};
};

/// Checks `typed` against `stored` under the rule of `tries`, as the data folder holds the count
/// now: during a wait nothing is checked, so that guessing is no faster for trying. A stored
/// passcode that is None opens at once.
PasscodeOutcome tryPasscode(const StoredPasscode& stored, PasscodeTries& tries,
                            std::string_view typed);

/// The sentence the question shows for `outcome`, empty for Opened; for Damaged, `problem`
/// follows it, and for the others the count's problem, on a line of its own.
std::string passcodeOutcomeText(const PasscodeOutcome& outcome, const std::string& problem = {});

}  // namespace gaisan

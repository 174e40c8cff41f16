#pragma once

#include <string>

#include "stores/results/RecordsAdministration.h"

namespace gaisan::testing {

/// What a teacher's change came to, a failure included, for tests that expect one of them.
enum class ChangeSeen { Done, Refused, NotTheRecord, PastEnd, Blocked, Failed };

inline ChangeSeen outcomeOf(const RecordsAdministration::Result& result) {
    if (!result) return ChangeSeen::Failed;
    switch (result->kind) {
        case ChangeOutcome::Kind::Done:
            return ChangeSeen::Done;
        case ChangeOutcome::Kind::Refused:
            return ChangeSeen::Refused;
        case ChangeOutcome::Kind::NotTheRecord:
            return ChangeSeen::NotTheRecord;
        case ChangeOutcome::Kind::PastEnd:
            return ChangeSeen::PastEnd;
        case ChangeOutcome::Kind::Blocked:
            return ChangeSeen::Blocked;
    }
    return ChangeSeen::Failed;
}

/// Why a change was refused or blocked, or the failure's problem.
inline std::string whyOf(const RecordsAdministration::Result& result) {
    return result ? result->why : result.error().problem;
}

}  // namespace gaisan::testing

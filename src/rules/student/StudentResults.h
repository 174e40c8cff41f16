#pragma once

#include "platform/Expected.h"

namespace gaisan {

/// The results file as a student's visit uses it: the recount that the level menu and the
/// finish screen show, and the record of a finished run. A failure names the results file and
/// says what went wrong; the program cannot go on from it.
class StudentResults {
public:
    virtual ~StudentResults() = default;

    /// Loads the newest records and rebuilds the count and best-time tables.
    virtual Expected<void> recount() = 0;
    /// Evaluates the run just finished on `level` and appends its record with its answers.
    virtual Expected<void> recordRun(int level) = 0;
};

}  // namespace gaisan

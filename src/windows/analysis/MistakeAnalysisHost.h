#pragma once

#include "rules/analysis/MistakeAnalysis.h"

namespace gaisan {

class Installation;
class Clock;
struct Failure;

/// What the teacher's mistake analysis needs of the program around it: the installation (roster
/// and levels), the clock, the answers of a scope, the messages for a file or a print that cannot
/// be used, and the way back to the level menu. The screen flow provides it; a window test
/// provides its own.
class MistakeAnalysisHost {
public:
    virtual ~MistakeAnalysisHost() = default;

    /// The installation the screen shows and changes.
    virtual Installation& installation() = 0;
    virtual const Clock& clock() const = 0;
    /// The answers of `scope`, summed up (analyseMistakes); the results file's failure when it
    /// cannot be read.
    virtual Expected<MistakeAnalysis> readMistakeAnalysis(const AnalysisScope& scope) = 0;
    /// Tells the teacher that a data file cannot be used, naming it and what is wrong.
    virtual void reportUnusableFile(const Failure& failure) = 0;
    /// Tells the teacher that a print could not start.
    virtual void reportPrintFailure() = 0;
    /// Leaves for a fresh level menu; the analysis screen is closed.
    virtual void backToMenu() = 0;
};

}  // namespace gaisan

#pragma once

#include <vector>

#include "base/LoadedRecords.h"
#include "platform/Expected.h"

namespace gaisan {

class Clock;
class LevelMenu;
struct Failure;

/// What the level menu's graph panel needs of the program around it: the level menu it draws
/// for, the clock, the newest records of the results file, and the messages for a roster or a print
/// that cannot be used. The screen flow provides it; a window test provides its own.
class GraphPanelHost {
public:
    virtual ~GraphPanelHost() = default;

    virtual LevelMenu& levelMenu() = 0;
    virtual const Clock& clock() const = 0;
    /// The newest records of the results file, oldest first, as the run lists read them; false
    /// when the file failed and the program is ending.
    virtual Expected<void> readGraphRecords(std::vector<LoadedRecord>& records) = 0;
    /// Tells the user that a data file cannot be used, naming it and what is wrong; the program
    /// goes on.
    virtual void reportUnusableFile(const Failure& failure) = 0;
    /// Tells the teacher that a print could not start.
    virtual void reportPrintFailure() = 0;
};

}  // namespace gaisan

#pragma once

#include <filesystem>
#include <string>
#include <vector>

class QWidget;

namespace gaisan {

struct AppState;
class Clock;
class CuePlayer;
struct Failure;
class RandomSource;

/// What the name-selection screen needs of the program around it: the shared state, the clock,
/// the random numbers it seeds, the cues, the counts from the results file, the messages about
/// the roster, the version window, and the two ways on: logging in and leaving to the launcher.
/// Each way on is a request; the host opens the next screen and unloads this one. The screen
/// flow provides it; a window test provides its own, so that the screen can be tried alone.
class NameSelectionHost {
public:
    virtual ~NameSelectionHost() = default;

    virtual AppState& state() = 0;
    virtual const Clock& clock() const = 0;
    virtual RandomSource& random() = 0;
    virtual CuePlayer& cues() = 0;
    /// Recounts the results; false when the results file failed and the program is ending.
    [[nodiscard]] virtual bool computeCounts() = 0;
    /// Tells the user that a data file cannot be used, naming it and what is wrong; the program
    /// goes on.
    virtual void reportUnusableFile(const Failure& failure) = 0;
    /// Tells the teacher which roster lines were left out, and why.
    virtual void reportSkippedRosterEntries(const std::filesystem::path& rosterFile,
                                            const std::vector<std::string>& sentences) = 0;
    /// The version window, modal, centred over `over`.
    virtual void showVersionWindow(QWidget* over) = 0;
    /// The student in state().login is logged in: the level menu opens.
    virtual void logIn() = 0;
    /// The suite's launcher starts and the program ends.
    virtual void leaveToLauncher() = 0;
};

}  // namespace gaisan

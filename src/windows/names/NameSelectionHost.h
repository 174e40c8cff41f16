#pragma once

#include <filesystem>
#include <string>
#include <vector>

class QWidget;

namespace gaisan {

struct Failure;
class StudentSession;

/// What the name-selection screen needs of the program around it: the student's session, whose
/// name list it shows and who it logs in, the end of the program when the results cannot be
/// counted, the messages about the roster, the version window, and the two ways on: logging in
/// and leaving to the launcher. Each way on is a request; the host opens the next screen and
/// unloads this one. The screen flow provides it; a window test provides its own, so that the
/// screen can be tried alone.
class NameSelectionHost {
public:
    virtual ~NameSelectionHost() = default;

    virtual StudentSession& session() = 0;
    /// The results file failed: the program ends with its message.
    virtual void endWithFailure(const Failure& failure) = 0;
    /// Tells the user that a data file cannot be used, naming it and what is wrong; the program
    /// goes on.
    virtual void reportUnusableFile(const Failure& failure) = 0;
    /// Tells the teacher which roster lines were left out, and why.
    virtual void reportSkippedRosterEntries(const std::filesystem::path& rosterFile,
                                            const std::vector<std::string>& sentences) = 0;
    /// The version window, modal, centred over `over`.
    virtual void showVersionWindow(QWidget* over) = 0;
    /// The student chosen in the session is logged in: the level menu opens.
    virtual void logIn() = 0;
    /// The suite's launcher starts and the program ends.
    virtual void leaveToLauncher() = 0;
};

}  // namespace gaisan

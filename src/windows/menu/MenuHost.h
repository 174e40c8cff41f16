#pragma once

#include <cstdint>
#include <functional>

#include "rules/menu/RunLists.h"
#include "windows/menu/GraphPanelHost.h"

namespace gaisan {

class MessageBoxes;
class PasscodeTries;
class StudentSession;

/// What the level menu needs of the program around it: the counts and run lists from the results
/// file, the message boxes of the spreadsheet export, and the screens it leaves for. The menu
/// hands the same host to its graph panel. Each screen change is a request: the host opens the
/// next screen and unloads the menu once the handler that asked has returned. The screen flow
/// provides it; a window test provides its own, so that the menu can be tried alone.
class MenuHost : public GraphPanelHost {
public:
    /// The progress of a read: records read so far, and of how many.
    using ReadProgress = std::function<void(std::uint64_t, std::uint64_t)>;

    /// The student's session: which levels may be run, and the one chosen for a run.
    virtual StudentSession& session() = 0;
    virtual MessageBoxes& boxes() = 0;
    /// Recounts the results. A failure of the results file has ended the program: the menu
    /// stops where it is.
    virtual Expected<void> computeCounts() = 0;
    /// Builds a run list from the results file into `rows`, reporting `progress`; while another
    /// machine holds the file it waits and tells the user before each retry. A failure has ended
    /// the program, as for computeCounts.
    virtual Expected<void> readRunList(const RunListQuery& query, const ReadProgress& progress,
                                       RunListRows& rows) = 0;

    /// For the teacher's maintenance panel: tells, once in the program's run, what keeps the
    /// classroom's users from sharing the results file or from getting its daily copies.
    virtual void reportSharedFileProblemsOnce() = 0;
    /// The wrong tries at the teacher's passcode, kept in the data folder for every machine and
    /// for the program's run.
    virtual PasscodeTries& passcodeTries() = 0;
    /// Whether the teacher's passcode was given since the menu was last left for the name list
    /// or a run: each tool of the panel returns to a fresh menu, and the passcode is asked once
    /// for the visit, not at every return.
    virtual bool passcodeGiven() const = 0;
    /// The right passcode was given.
    virtual void notePasscodeGiven() = 0;
    /// A run of the level chosen in the session.
    virtual void StartRun() = 0;
    /// Back to a fresh name list.
    virtual void showNameSelection() = 0;
    /// The teacher's records browser.
    virtual void showRecordsBrowser() = 0;
    /// The teacher's criteria editor.
    virtual void showCriteriaEditor() = 0;
    /// The teacher's analysis of the children's mistakes.
    virtual void showMistakeAnalysis() = 0;
};

}  // namespace gaisan

#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Clock.h"
#include "platform/Expected.h"

namespace gaisan {

/// The rule for wrong tries at the teacher's passcode: after three wrong passcodes in a row
/// nothing is checked for a minute; then there are three tries again. A right passcode starts
/// the count afresh.
///
/// The count is kept in the data folder (PasscodeTryCount), so that restarting the program or
/// going to another machine gives no fresh tries; refresh() takes in what the other machines
/// left there. The wait began at a time of the machine that began it; every other machine ends
/// it a minute after that by its own clock, but never later than a minute after it first saw the
/// wait, so that a clock behind or set back cannot stretch it. From then on the program counts
/// the wait on its monotonic tick, so that changing the clock while it runs does not end it.
///
/// A count file that cannot be read could hide any number of wrong tries, and spoiling it must
/// not give fresh ones; nor may it lock the teacher out: it counts as a wait of a minute from
/// when the program found it so, then as three tries that the program counts itself. The next
/// wrong try writes the file whole again, and a right one removes it. A count that cannot be
/// written still counts for the program's run, and the teacher is told why it is not kept.
///
/// Two machines counting a wrong try at the same moment may count it once: the file is replaced
/// whole and the last to write it wins. The count is a brake on guessing, not a ledger, and a
/// lock on the data folder for it would be one more thing that can be left held.
class PasscodeTries {
public:
    static constexpr int kTries = 3;
    static constexpr std::int64_t kWaitMilliseconds = 60'000;

    PasscodeTries(const Clock& clock, std::filesystem::path countFile);

    // Each call that reads or writes the count file returns what kept it from being read or
    // written, naming it, in Japanese, or an empty text when nothing did: the tries count all
    // the same, and the teacher is told why they are not kept for the other machines.

    /// Takes in the count as the data folder holds it now. While the program counts the tries
    /// itself, a count file it can read again is still behind it, and the reason it counts them
    /// itself is told again.
    std::string refresh();
    /// Whole seconds, rounded up, until a passcode is checked again; 0 when it is checked now.
    int secondsToWait() const;
    /// The wrong tries left before the wait, while not waiting.
    int triesLeft() const;
    /// Counts a wrong passcode, refreshing first so that another machine's tries count too; the
    /// last of the tries starts the wait. Writes the count to the data folder, unless a wait is
    /// still on.
    std::string wrong();
    /// A right passcode: the count starts afresh, and its file is removed.
    std::string right();

private:
    std::int64_t localSeconds() const;
    std::string save();
    /// Takes in the outcome of writing or removing the count file.
    std::string countedThrough(const Expected<void>& written);

    const Clock& m_clock;
    std::filesystem::path m_file;
    int m_wrong = 0;
    /// When the wait the count file holds began, by the clock of the machine that began it.
    std::optional<std::int64_t> m_waitBegan;
    /// The tick at which the wait ends on this machine.
    std::optional<std::int64_t> m_waitEnds;
    /// Why the program counts the tries itself until it writes the count file again: the file
    /// could not be read or written. Nothing while the file holds the count.
    std::optional<std::string> m_countedHereBecause;
};

}  // namespace gaisan

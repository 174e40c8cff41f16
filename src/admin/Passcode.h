#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace gaisan {

/// The teacher's passcode as the data folder holds it: a file beside the criteria holding one
/// salted, slow hash of it (libsodium's crypto_pwhash_str), never the passcode itself.
///
/// A missing file means no passcode, so that an installation without one opens the teacher's
/// panel as before. A file that is there but cannot be read, or that holds no hash this program
/// accepts, is `Damaged`: the panel stays shut, and the teacher is told to set the passcode again
/// with gaisan-records. Otherwise a child could open the panel by spoiling the file. A file that
/// cannot be checked for (its folder unreachable, as when a network drive is down) counts as
/// unreadable for the same reason.
struct StoredPasscode {
    enum class State { None, Set, Damaged };
    State state = State::None;
    std::string hash;     ///< when Set
    std::string problem;  ///< when Damaged: what is wrong with the file, in Japanese
};

/// The passcode file at `file`, read with a bound on its size. Never throws for the file.
StoredPasscode readStoredPasscode(const std::filesystem::path& file);

/// Replaces `file` with a fresh hash of `passcode`, whole or not at all, and as writable as its
/// folder when it is new. Throws DataFileError naming the file when it cannot be written, and
/// std::invalid_argument for an empty passcode.
void writePasscode(const std::filesystem::path& file, std::string_view passcode);

/// Removes the passcode file; a file already gone is no failure. The failure's text names the
/// file.
[[nodiscard]] std::optional<std::string> clearPasscode(const std::filesystem::path& file);

/// Whether `passcode` is the one `hash` was made from.
bool passcodeMatches(const std::string& hash, std::string_view passcode);

/// The rule for wrong tries: after three wrong passcodes in a row nothing is checked for a
/// minute; then there are three tries again. A right passcode starts the count afresh. Time is
/// the clock's monotonic tick, so that changing the machine's clock does not end the wait.
class PasscodeTries {
public:
    static constexpr int kTries = 3;
    static constexpr std::int64_t kWaitMilliseconds = 60'000;

    explicit PasscodeTries(const Clock& clock) : m_clock(clock) {}

    /// Whole seconds, rounded up, until a passcode is checked again; 0 when it is checked now.
    int secondsToWait() const;
    /// The wrong tries left before the wait, while not waiting.
    int triesLeft() const;
    /// Counts a wrong passcode; the last of the tries starts the wait.
    void wrong();
    /// A right passcode: the count starts afresh.
    void right();

private:
    const Clock& m_clock;
    int m_wrong = 0;
    std::optional<std::int64_t> m_waitEnds;  ///< the tick at which the wait ends
};

/// What came of a passcode typed in the teacher's question.
struct PasscodeOutcome {
    enum class Kind { Opened, Wrong, MustWait, Damaged };
    Kind kind = Kind::Opened;
    int triesLeft = 0;      ///< when Wrong
    int secondsToWait = 0;  ///< when MustWait
};

/// Checks `typed` against `stored` under the rule of `tries`: during a wait nothing is checked,
/// so that guessing is no faster for trying. A stored passcode that is None opens at once.
PasscodeOutcome tryPasscode(const StoredPasscode& stored, PasscodeTries& tries,
                            std::string_view typed);

/// The sentence the question shows for `outcome`, empty for Opened; for Damaged, `problem`
/// follows it.
std::string passcodeOutcomeText(const PasscodeOutcome& outcome, const std::string& problem = {});

}  // namespace gaisan

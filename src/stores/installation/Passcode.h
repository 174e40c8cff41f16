#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Expected.h"

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
/// folder when it is new. Fails, naming the file, when it cannot be written. A passcode that is
/// empty, longer than kLongestPasscode or not typable in the passcode box is the caller's fault
/// (the command checks what was typed first) and throws std::invalid_argument.
Expected<void> writePasscode(const std::filesystem::path& file, std::string_view passcode);

/// Removes the passcode file; a file already gone is no failure.
Expected<void> clearPasscode(const std::filesystem::path& file);

/// Whether `passcode` is the one `hash` was made from.
bool passcodeMatches(const std::string& hash, std::string_view passcode);

/// The longest passcode that can be set, far more than anyone types, so that a script's input
/// that never ends is not read for ever.
constexpr std::size_t kLongestPasscode = 128;

/// A character of a passcode that the passcode box cannot take.
struct UntypableCharacter {
    enum class Kind {
        Control,       ///< a control character: an arrow, Tab or Esc key pressed unseen
        NotHalfWidth,  ///< anything beyond ASCII: full-width letters or digits, kana, kanji
    };
    Kind kind = Kind::NotHalfWidth;
    std::size_t position = 0;  ///< counted in characters from 1
};

/// The first character of `passcode` that the passcode box cannot take, if any. The box takes
/// no input method, so that what is typed is never a conversion: only the half-width letters,
/// digits, space and signs of ASCII (0x20 to 0x7E) reach it. A passcode set with anything else
/// (a terminal left in full-width mode, with the typing hidden) could never be typed there.
std::optional<UntypableCharacter> firstUntypableCharacter(std::string_view passcode);

}  // namespace gaisan

#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Expected.h"

namespace gaisan {

/// The wrong passcodes typed in a row, as the data folder keeps them for every machine of the
/// classroom: a file beside the passcode file, so that neither starting the program again nor
/// going to the next machine gives fresh tries.
///
/// The file is CP932 text of one or two lines: the number of wrong tries in a row (1 to 3) and,
/// once it is 3, the local time the wait began, "2026-12-10 10:00:05". Without the file there
/// were no wrong tries.
struct PasscodeTryCount {
    int wrong = 0;
    /// When the wait began, in local seconds since the day serial's day 0; only with 3 wrong.
    std::optional<std::int64_t> waitBegan;

    friend bool operator==(const PasscodeTryCount&, const PasscodeTryCount&) = default;
};

/// The count in `file`, read with a bound on its size; no wrong tries when there is no file.
/// Fails when the file is there but cannot be read or holds no count, or its folder cannot be
/// reached.
Expected<PasscodeTryCount> readPasscodeTryCount(const std::filesystem::path& file);

/// Replaces `file` with `count`, whole or not at all, as writable as its folder when it is new.
Expected<void> writePasscodeTryCount(const std::filesystem::path& file,
                                     const PasscodeTryCount& count);

/// Removes the count file, so that the next question has all its tries; a file already gone is
/// no failure.
Expected<void> clearPasscodeTryCount(const std::filesystem::path& file);

}  // namespace gaisan

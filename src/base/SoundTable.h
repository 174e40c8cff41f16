#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Expected.h"

namespace gaisan {

inline constexpr int kCueCount = 10;
/// A cue lists at most 19 files: the twentieth item after its name must be the "*".
inline constexpr int kCueFileSlots = 20;

/// The cues the program plays; the other cue names of the table belong to sibling programs.
inline constexpr int kCorrectCue = 2;       ///< "正解音2"
inline constexpr int kWrongCue = 4;         ///< "間違い音2"
inline constexpr int kPersonalBestCue = 8;  ///< "自己最高音2"
inline constexpr int kFailCue = 10;         ///< "不合格音1"

/// One named cue and the wave files (base names without ".wav") one of which it plays.
struct SoundCue {
    std::string name;
    std::array<std::string, kCueFileSlots + 1> files{};  ///< slots 1..20; slot 0 unused
    /// Number of files; unset while no entry of the table file ended with its "*".
    std::optional<int> count;
};

/// Cues 1..10 (slot 0 unused), as read from "新音ファイル.txt".
struct SoundTable {
    std::array<SoundCue, kCueCount + 1> cues{};
};

/// The fixed name of cue 1..10.
const std::string& cueName(int cue);

/// Sets the ten cue names, then reads the table file: each item equal to a cue name starts an
/// entry of up to 20 further items; the file names go into the cue's slots until an item "*",
/// which sets the count. Other items are skipped. Fails when the file is missing or unreadable,
/// or ends inside an entry.
Expected<void> LoadSoundTable(const std::filesystem::path& file, SoundTable& table);

/// Refuses a table in which a cue the program plays (correct, wrong, personal best, fail) has no
/// entry ended by its "*", or lists no file: such a cue can never sound, and the correct and
/// wrong cues would end the program at the fourth answer. The failure names the cue.
Expected<void> checkPlayedCues(const std::filesystem::path& file, const SoundTable& table);

}  // namespace gaisan

#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "platform/SoundPlayer.h"

namespace gaisan {

/// The sound player of the browser server: the pages play the sounds, so a play only notes the
/// wave file the cue chose, for the answer to hand to the page as an address of its own. Only
/// files a cue has chosen get an address, so a page can fetch no other file through it.
class ServedSounds final : public SoundPlayer {
public:
    PlayResult play(const std::filesystem::path& waveFile) override;

    /// The sounds played since the last call, by number, in order.
    std::vector<int> takePlayed();
    /// The wave file of sound `number`, when a cue has chosen it.
    std::optional<std::filesystem::path> file(int number) const;

private:
    std::vector<std::filesystem::path> m_files;
    std::map<std::filesystem::path, int> m_numbers;
    std::vector<int> m_played;
};

}  // namespace gaisan

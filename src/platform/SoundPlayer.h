#pragma once

#include <filesystem>
#include <string>

namespace gaisan {

/// What playing one wave file came to: code 0 is success; any other code comes with a text
/// saying what went wrong (a missing file, a corrupt header, no sound server...).
struct PlayResult {
    int code = 0;
    std::string errorText;
};

/// Plays a wave file and returns only when the sound has ended.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    [[nodiscard]] virtual PlayResult play(const std::filesystem::path& waveFile) = 0;
};

}  // namespace gaisan

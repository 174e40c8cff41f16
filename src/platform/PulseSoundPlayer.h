#pragma once

#include "platform/SoundPlayer.h"

namespace gaisan {

/// Plays wave files through the PulseAudio server (or PipeWire's PulseAudio service), decoding
/// them with libsndfile. Each play opens its own connection and closes it when the sound has
/// been drained: cues are rare, and a fresh connection keeps working after the server restarts.
///
/// The result codes:
/// - kCannotReadFile: the file is missing, is not a sound file, has a broken header, has a
///   sample rate or a number of channels the server cannot play, or failed while being read;
/// - kCannotConnect: there is no sound server, or it refused the stream;
/// - kPlaybackFailed: the server went away or failed while the sound was playing.
/// Every error text names the file and carries the library's own description.
class PulseSoundPlayer final : public SoundPlayer {
public:
    static constexpr int kCannotReadFile = 1;
    static constexpr int kCannotConnect = 2;
    static constexpr int kPlaybackFailed = 3;

    /// Returns when the server has played the whole sound, or at the first failure. A file
    /// without frames is silence played at once: no server is asked.
    [[nodiscard]] PlayResult play(const std::filesystem::path& waveFile) override;
};

}  // namespace gaisan

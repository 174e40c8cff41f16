#pragma once

#include <functional>
#include <string>

#include "platform/RandomSource.h"
#include "platform/SoundPlayer.h"

namespace gaisan {

struct AppState;

/// The program's sound cues. Each returns when its sound has ended.
class CuePlayer {
public:
    virtual ~CuePlayer() = default;
    virtual void PlayCorrectCue() = 0;       ///< a correct answer
    virtual void PlayWrongCue() = 0;         ///< a wrong answer, or no name chosen
    virtual void PlayPersonalBestCue() = 0;  ///< the student's own new best time
    virtual void PlayFailCue() = 0;          ///< a run that reached no record
    virtual void PlayBestSound() = 0;        ///< a new best time of the level
    virtual void PlayPassSound() = 0;        ///< the final level cleared for the first time
    virtual void PlayWarningSound() = 0;     ///< a sixth character refused
};

/// Plays the cues from the sound folder: a named cue plays one of its files at random, so the
/// same feedback does not always sound alike; a fixed sound plays its one file.
///
/// Only the correct and wrong cues are watched, because a child works on without them and
/// would not notice that the sound is gone: three failures in a row pass quietly (a busy sound
/// server recovers), and the fourth calls `onSoundLost` with the player's error text, which
/// tells the child to fetch the teacher and ends the program. Any success starts the count
/// again. The other sounds ignore their failures.
class SoundCues final : public CuePlayer {
public:
    using SoundLostHandler = std::function<void(const std::string& errorText)>;

    SoundCues(AppState& state, SoundPlayer& player, RandomSource& random,
              SoundLostHandler onSoundLost);

    void PlayCorrectCue() override;
    void PlayWrongCue() override;
    void PlayPersonalBestCue() override;
    void PlayFailCue() override;
    void PlayBestSound() override;
    void PlayPassSound() override;
    void PlayWarningSound() override;

private:
    /// A random file of cue 1..10. A cue the table file does not list with its "*" cannot be
    /// played: that is a failed play, not a crash.
    [[nodiscard]] PlayResult playCue(int cue);
    [[nodiscard]] PlayResult playFile(const std::string& fileName);
    void watch(const PlayResult& result);

    AppState& m_state;
    SoundPlayer& m_player;
    RandomSource& m_random;
    SoundLostHandler m_onSoundLost;
};

/// The message shown when the correct and wrong cues have failed four times in a row.
std::string soundLostMessage(const std::string& errorText);

}  // namespace gaisan

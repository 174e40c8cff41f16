#include "base/SoundCues.h"

#include "base/AppState.h"

namespace gaisan {
namespace {

constexpr int kQuietFailures = 3;
/// The code of a cue that cannot be played because the table does not list it.
constexpr int kCueNotListed = -1;

}  // namespace

SoundCues::SoundCues(AppState& state, SoundPlayer& player, RandomSource& random,
                     SoundLostHandler onSoundLost)
    : m_state(state), m_player(player), m_random(random), m_onSoundLost(std::move(onSoundLost)) {}

PlayResult SoundCues::playFile(const std::string& fileName) {
    return m_player.play(m_state.locations.soundFile(fileName));
}

PlayResult SoundCues::playCue(int cue) {
    const SoundCue& entry = m_state.sounds.cues.at(cue);
    if (!entry.count) {
        return {kCueNotListed, "「" + entry.name +
                                   "」の音が新音ファイル.txtに「*」で終わる一覧として"
                                   "ありません"};
    }
    const int slot = static_cast<int>(m_random.uniform() * *entry.count + 1);
    return playFile(entry.files.at(slot) + ".wav");
}

void SoundCues::watch(const PlayResult& result) {
    if (result.code == 0) {
        m_state.SoundFailures = 0;
    } else if (m_state.SoundFailures < kQuietFailures) {
        ++m_state.SoundFailures;
    } else {
        m_onSoundLost(result.errorText);
    }
}

void SoundCues::PlayCorrectCue() { watch(playCue(kCorrectCue)); }
void SoundCues::PlayWrongCue() { watch(playCue(kWrongCue)); }
// Only the drill's answer cues count towards telling that the sound is lost: a finish-screen
// sound that fails is deliberately left unheard, as the screen itself says everything.
void SoundCues::PlayPersonalBestCue() { static_cast<void>(playCue(kPersonalBestCue)); }
void SoundCues::PlayFailCue() { static_cast<void>(playCue(kFailCue)); }
void SoundCues::PlayBestSound() { static_cast<void>(playFile("最高1.wav")); }
void SoundCues::PlayPassSound() { static_cast<void>(playFile("合格.wav")); }
void SoundCues::PlayWarningSound() { static_cast<void>(playFile("警告1.wav")); }

std::string soundLostMessage(const std::string& errorText) {
    return "音声がでません。先生を呼びなさい。\r\n" + errorText;
}

}  // namespace gaisan
